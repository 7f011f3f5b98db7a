// The reply reader on replies as servers send them, fed in pieces of every
// size, and on input that is not FTP.

#include "platform/ftp/ReplyReader.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using ftp::Reply;
using ftp::ReplyReader;

// Feeds text in random pieces and collects every reply; stops at a break.
std::vector<Reply> ReadAll(const std::string& text, unsigned seed, std::string* error = nullptr)
{
    std::mt19937 random(seed);
    ReplyReader reader;
    std::vector<Reply> replies;
    std::size_t at = 0;
    for (;;) {
        Reply reply;
        std::string problem;
        const ReplyReader::State state = reader.Next(reply, problem);
        if (state == ReplyReader::State::Ready) {
            replies.push_back(reply);
            continue;
        }
        if (state == ReplyReader::State::Broken) {
            if (error)
                *error = problem;
            return replies;
        }
        if (at >= text.size())
            return replies;
        const std::size_t n = std::min<std::size_t>(1 + random() % 9, text.size() - at);
        reader.Feed(std::string_view(text).substr(at, n));
        at += n;
    }
}

TEST(ReplyReader, RepliesInAnyChunkSize)
{
    const std::string text =
        "220-Welcome to the server\r\n"
        "220-second line\r\n"
        " indented line\r\n"
        "220 Ready.\r\n"
        "331 Password required\n"
        "230\r\n"
        "211-Features:\r\n"
        " MDTM\r\n"
        "211-not the end\r\n"
        "2111 not the end either\r\n"
        "211 End\r\n";
    for (unsigned seed = 0; seed < 50; ++seed) {
        const std::vector<Reply> replies = ReadAll(text, seed);
        ASSERT_EQ(replies.size(), 4u) << seed;
        EXPECT_EQ(replies[0].code, 220);
        EXPECT_EQ(replies[0].Text(), "220-Welcome to the server\n220-second line\n indented line\n220 Ready.");
        EXPECT_EQ(replies[1].code, 331);
        EXPECT_EQ(replies[1].FirstLineText(), "Password required");
        EXPECT_EQ(replies[2].code, 230);
        EXPECT_EQ(replies[2].FirstLineText(), "");
        EXPECT_EQ(replies[3].code, 211);
        EXPECT_EQ(replies[3].lines.size(), 5u);
    }
}

TEST(ReplyReader, InputThatIsNotFtpBreaksTheReader)
{
    struct Case {
        const char* what;
        std::string text;
        std::size_t repliesBefore;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"HTTP", "HTTP/1.1 400 Bad Request\r\n", 0, "not an FTP reply"},
        {"code 600", "600 what\r\n", 0, "not an FTP reply"},
        {"no separator", "220x\r\n", 0, "not an FTP reply"},
        {"two digits", "22 x\r\n", 0, "not an FTP reply"},
        {"after a good reply", "200 OK\r\nnonsense\r\n", 1, "not an FTP reply"},
        {"long line", "220 " + std::string(ReplyReader::kMaxLineBytes, 'x') + "\r\n", 0,
         "reply line longer than 8192 bytes"},
        {"long line never ending", std::string(ReplyReader::kMaxLineBytes + 10, '2'), 0,
         "reply line longer than 8192 bytes"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(ReadAll(c.text, 7, &error).size(), c.repliesBefore) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
    std::string lines = "250-start\r\n";
    for (std::size_t i = 0; i < ReplyReader::kMaxLines; ++i)
        lines += " line\r\n";
    std::string error;
    EXPECT_TRUE(ReadAll(lines, 1, &error).empty());
    EXPECT_EQ(error, "reply of more than 1000 lines");
}

TEST(ReplyReader, StaysBrokenAndKeepsUnreadBytes)
{
    ReplyReader reader;
    reader.Feed("200 OK\r\n150 Opening");
    Reply reply;
    std::string error;
    ASSERT_EQ(reader.Next(reply, error), ReplyReader::State::Ready);
    EXPECT_TRUE(reader.HasBufferedBytes());
    EXPECT_EQ(reader.Next(reply, error), ReplyReader::State::NeedMore);
    reader.Feed(" data.\r\nxyz\r\n");
    ASSERT_EQ(reader.Next(reply, error), ReplyReader::State::Ready);
    EXPECT_EQ(reply.Text(), "150 Opening data.");
    EXPECT_EQ(reader.Next(reply, error), ReplyReader::State::Broken);
    reader.Feed("200 OK\r\n");
    EXPECT_EQ(reader.Next(reply, error), ReplyReader::State::Broken);
}

}  // namespace
