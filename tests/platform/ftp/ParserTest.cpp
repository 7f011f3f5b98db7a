// The pure parsers on lines real servers send: listings (Unix with and
// without the year, DOS/IIS, EPLF), MLST facts, time stamps, the replies
// that carry data, the server text, line-end conversion and error texts.

#include "platform/ftp/AsciiEncoder.h"
#include "platform/ftp/InternetException.h"
#include "platform/ftp/ListingParser.h"
#include "platform/ftp/ReplyParsers.h"
#include "platform/ftp/ServerAddress.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using ftp::RemoteEntry;

constexpr std::int64_t kNow = 1796702400;  // 2026-12-08 04:00 UTC

RemoteEntry File(std::string name, std::int64_t mtime, std::uint64_t size)
{
    return RemoteEntry{std::move(name), mtime, true, size, true, false};
}

RemoteEntry Dir(std::string name, std::int64_t mtime)
{
    return RemoteEntry{std::move(name), mtime, true, 0, false, true};
}

struct ListCase {
    const char* what;
    std::string line;
    std::optional<RemoteEntry> expected;
};

TEST(ListingParser, ParsesRealListingLines)
{
    RemoteEntry unixDir = Dir("images", 1796083140);
    unixDir.size = 4096;
    unixDir.hasSize = true;
    const std::vector<ListCase> cases = {
        {"vsftpd, recent", "-rw-r--r--    1 102      105             6 Dec 08 04:04 h.txt", File("h.txt", 1796702640, 6)},
        {"pyftpdlib, blank in name", "-rw-r--r--   1 root     root         5000 Dec 08 04:04 page one ü.html",
         File("page one ü.html", 1796702640, 5000)},
        {"with year", "-rw-r--r--   1 ftp      ftp        12345 Jan 15  2019 old file.txt",
         File("old file.txt", 1547510400, 12345)},
        {"no group column", "-rw-r--r--   1 owner        512 Feb 29  2020 leap.txt", File("leap.txt", 1582934400, 512)},
        {"symbolic link", "lrwxrwxrwx   1 root     root           11 Jun 10  2022 link -> target.txt",
         File("link", 1654819200, 11)},
        {"directory", "drwxr-xr-x   2 ftp      ftp          4096 Nov 30 23:59 images", unixDir},
        {"recent but last year", "-rw-r--r--   1 a b 7 Dec 10 12:00 late.txt", File("late.txt", 1765368000, 7)},
        {"recent this year", "-rw-r--r--   1 a b 7 Jan  5 10:00 early.txt", File("early.txt", 1767607200, 7)},
        {"leading blank in name", "-rw-r--r--   1 u g 10 Dec 01 10:00  two  spaces", File(" two  spaces", 1796119200, 10)},
        {"DOS file", "03-03-21  01:30PM                 1234 index.html", File("index.html", 1614778200, 1234)},
        {"DOS folder", "12-31-99  11:59PM       <DIR>          old site", Dir("old site", 946684740)},
        {"DOS four-digit year, midnight", "01-02-2024  12:05AM  55 x y.txt", File("x y.txt", 1704153900, 55)},
        {"EPLF file", "+i8388621.44468,m839956783,r,s10376,\tRFCEPLF", File("RFCEPLF", 839956783, 10376)},
        {"EPLF folder", "+i8388621.29609,m824255902,/,\tdev", Dir("dev", 824255902)},
        {"total line", "total 12", std::nullopt},
        {"empty", "", std::nullopt},
        {"cut short", "-rw-r--r--   1 a b 7 Dec", std::nullopt},
        {"size not a number", "-rw-r--r--   1 a b x Dec 01 10:00 n", std::nullopt},
        {"size overflows", "-rw-r--r--   1 a b 99999999999999999999999 Dec 01 10:00 n", std::nullopt},
        {"unknown month", "-rw-r--r--   1 a b 1 Foo 01 10:00 n", std::nullopt},
        {"day 32", "-rw-r--r--   1 a b 1 Dec 32 10:00 n", std::nullopt},
        {"Feb 29 of a common year", "-rw-r--r--   1 a b 1 Feb 29  2021 n", std::nullopt},
        {"no name", "-rw-r--r--   1 a b 1 Dec 01 10:00", std::nullopt},
        {"DOS hour 13", "03-03-21  13:30PM  1 n", std::nullopt},
        {"EPLF without tab", "+m1,s2, name", std::nullopt},
        {"text", "ls: cannot access 'x': No such file or directory", std::nullopt},
    };
    for (const ListCase& c : cases)
        EXPECT_EQ(ftp::ParseListLine(c.line, kNow), c.expected) << c.what << ": " << c.line;
}

TEST(ListingParser, ListingSkipsWhatIsNotAnEntry)
{
    const std::string text =
        "total 8\r\n"
        "drwxr-xr-x   2 ftp ftp 4096 Nov 30 23:59 images\r\n"
        "garbage\n"
        "-rw-r--r--   1 ftp ftp 6 Dec 08 04:04 h.txt\r\n"
        "-rw-r--r--   1 ftp ftp 6 Dec 08 04:04 no line end";
    const std::vector<RemoteEntry> entries = ftp::ParseListing(text, kNow);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "images");
    EXPECT_EQ(entries[1].name, "h.txt");
    EXPECT_EQ(entries[2].name, "no line end");
}

TEST(ListingParser, MlstFactLines)
{
    EXPECT_EQ(ftp::ParseMlstLine(" type=file;size=6;modify=20261208040400;perm=r; /pub/h.txt"),
              File("/pub/h.txt", 1796702640, 6));
    EXPECT_EQ(ftp::ParseMlstLine("Modify=20000229123456.789;Size=99;Type=file; a b.txt"),
              File("a b.txt", 951827696, 99));
    RemoteEntry dir = Dir("www", 951827696);
    EXPECT_EQ(ftp::ParseMlstLine("type=dir;modify=20000229123456; www"), dir);
    RemoteEntry unknown;
    unknown.name = "n";
    EXPECT_EQ(ftp::ParseMlstLine("size=x;modify=2000;unique=1; n"), unknown);
    EXPECT_EQ(ftp::ParseMlstLine("type=file;size=1;"), std::nullopt);
    EXPECT_EQ(ftp::ParseMlstLine(""), std::nullopt);
}

TEST(ListingParser, TimeStamps)
{
    EXPECT_EQ(ftp::ParseFtpTime("20261208040400"), 1796702640);
    EXPECT_EQ(ftp::ParseFtpTime("20000229123456.5"), 951827696);
    EXPECT_EQ(ftp::ParseFtpTime("19700101000000"), 0);
    for (const char* bad : {"", "2026120804040", "202612080404000", "20261308040400", "20261208250000",
                            "2026120804040x", "20261208040400.", "20261208040400.x", "20210229000000"})
        EXPECT_EQ(ftp::ParseFtpTime(bad), std::nullopt) << bad;
}

TEST(ReplyParsers, DataInReplies)
{
    EXPECT_EQ(ftp::ParsePwdPath("\"/\" is the current directory"), "/");
    EXPECT_EQ(ftp::ParsePwdPath("\"/a \"\"b\"\" c\" created"), "/a \"b\" c");
    EXPECT_EQ(ftp::ParsePwdPath("no quotes"), std::nullopt);
    EXPECT_EQ(ftp::ParsePwdPath("\"unterminated"), std::nullopt);
    EXPECT_EQ(ftp::ParsePwdPath("/home/u is cwd"), "/home/u");
    EXPECT_EQ(ftp::ParsePwdPath("/"), "/");
    EXPECT_EQ(ftp::ParsePwdPath("home/u is cwd"), std::nullopt);

    EXPECT_EQ(ftp::ParseEpsvPort("Entering Extended Passive Mode (|||6446|)"), 6446);
    EXPECT_EQ(ftp::ParseEpsvPort("Entering Extended Passive Mode (!!!21!)"), 21);
    for (const char* bad : {"(|||0|)", "(|||70000|)", "(||6446|)", "(|||x|)", "no parenthesis", "(|||"})
        EXPECT_EQ(ftp::ParseEpsvPort(bad), std::nullopt) << bad;

    EXPECT_EQ(ftp::ParsePasvPort("Entering Passive Mode (10,9,8,7,4,5)."), 4 * 256 + 5);
    EXPECT_EQ(ftp::ParsePasvPort("=127,0,0,1,200,1"), 200 * 256 + 1);
    for (const char* bad : {"(1,2,3,4,5)", "(1,2,3,4,256,1)", "(1,2,3,4,0,0)", "none"})
        EXPECT_EQ(ftp::ParsePasvPort(bad), std::nullopt) << bad;
}

TEST(ReplyParsers, Features)
{
    ftp::Reply pyftpd{211, {"211-Features supported:", " EPRT", " EPSV", " MDTM", " MLST type*;perm*;size*;modify*;unique*;unix.mode;",
                            " SIZE", " UTF8", "211 End FEAT."}};
    const ftp::Features all = ftp::ParseFeatures(pyftpd);
    EXPECT_TRUE(all.mlst && all.mdtm && all.size);
    ftp::Reply noFacts{211, {"211-Features:", " MLST type*;perm*;", " mdtm", "211 End"}};
    const ftp::Features some = ftp::ParseFeatures(noFacts);
    EXPECT_FALSE(some.mlst);
    EXPECT_TRUE(some.mdtm);
    EXPECT_FALSE(some.size);
    ftp::Reply refused{500, {"500 FEAT not understood."}};
    const ftp::Features none = ftp::ParseFeatures(refused);
    EXPECT_FALSE(none.mlst || none.mdtm || none.size);
    EXPECT_FALSE(all.authTls);
    for (const char* line : {" AUTH TLS", " AUTH SSL;TLS", " auth tls-c"})
        EXPECT_TRUE(ftp::ParseFeatures(ftp::Reply{211, {"211-Features:", line, "211 End"}}).authTls) << line;
    EXPECT_FALSE(ftp::ParseFeatures(ftp::Reply{211, {"211-Features:", " AUTH SSL", "211 End"}}).authTls);
}

TEST(ServerAddress, HostsAndPorts)
{
    struct Case {
        std::string text;
        std::uint16_t port;
        std::string host;
        std::uint16_t expectedPort;
    };
    const std::vector<Case> cases = {
        {"ftp.example.com", 0, "ftp.example.com", 21},   {"ftp.example.com", 2121, "ftp.example.com", 2121},
        {"ftp.example.com:990", 0, "ftp.example.com", 990}, {"127.0.0.1:2121", 21, "127.0.0.1", 2121},
        {"[::1]:2121", 0, "::1", 2121},                  {"[::1]", 0, "::1", 21},
        {"fe80::1", 0, "fe80::1", 21},
    };
    for (const Case& c : cases) {
        const auto parsed = ftp::ParseServerAddress(c.text, c.port);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->host, c.host) << c.text;
        EXPECT_EQ(parsed->port, c.expectedPort) << c.text;
    }
    EXPECT_EQ(ftp::ParseServerAddress("[::1]:21", 0)->Name(), "[::1]:21");
    for (const char* bad : {"", ":21", "host:", "host:0", "host:70000", "host:x", "[::1", "[::1]x", "a b", "a\r\nb"})
        EXPECT_FALSE(ftp::ParseServerAddress(bad, 0)) << bad;
}

TEST(AsciiEncoder, LoneLfBecomesCrlfAcrossBlocks)
{
    ftp::AsciiEncoder encoder;
    std::string out;
    for (const char* block : {"a\n", "b\r", "\nc", "\r", "\r\n", "\n\n", "d"})
        encoder.Encode(block, out);
    EXPECT_EQ(out, "a\r\nb\r\nc\r\r\n\r\n\r\nd");
}

TEST(InternetException, ErrorMessageIsCutOnACharacterBoundary)
{
    const CInternetException e(ERROR_INTERNET_EXTENDED_ERROR, "550 Datei für übermorgen");
    char buffer[256];
    unsigned int help = 9;
    ASSERT_TRUE(e.GetErrorMessage(buffer, sizeof buffer, &help));
    EXPECT_STREQ(buffer, "550 Datei für übermorgen");
    EXPECT_EQ(help, 0u);
    // "ü" takes two bytes: a 12-byte buffer holds 11 bytes, which would split it.
    ASSERT_TRUE(e.GetErrorMessage(buffer, 12));
    EXPECT_STREQ(buffer, "550 Datei f");
    const CInternetException empty(ERROR_INTERNET_EXTENDED_ERROR, "");
    EXPECT_FALSE(empty.GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
}

}  // namespace
