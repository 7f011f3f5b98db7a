// Texts from files and servers on their way to the terminal: which bytes are
// escaped in messages, and that a per-file upload line stays one line.

#include "cli/TerminalUploadUi.h"
#include "cli/Utf8.h"

#include <gtest/gtest.h>

namespace {

struct EscapeCase {
    const char* what;
    std::string text;
    std::string message;  // LineBreaks::keep
    std::string line;     // LineBreaks::escape
};

const EscapeCase kEscapes[] = {
    {"plain text and backslashes", "www\\site/a b", "www\\site/a b", "www\\site/a b"},
    {"escape and bell", "a\x1b[2Jb\x07", "a\\x1b[2Jb\\x07", "a\\x1b[2Jb\\x07"},
    {"NUL, CR and DEL", std::string("a\0b\rc\x7f", 6), "a\\x00b\\x0dc\\x7f", "a\\x00b\\x0dc\\x7f"},
    {"line feed and tab", "one\ntwo\tthree", "one\ntwo\tthree", "one\\x0atwo\\x09three"},
    {"C1 in UTF-8: first, CSI, last", "\xC2\x80|\xC2\x9B|\xC2\x9F", "\\xc2\\x80|\\xc2\\x9b|\\xc2\\x9f",
     "\\xc2\\x80|\\xc2\\x9b|\\xc2\\x9f"},
    {"just past C1 and other UTF-8 stay", "\xC2\xA0\xC3\xA9\xE2\x82\xAC", "\xC2\xA0\xC3\xA9\xE2\x82\xAC",
     "\xC2\xA0\xC3\xA9\xE2\x82\xAC"},
    {"a lone C2 lead byte is no control", "\xC2", "\xC2", "\xC2"},
};

}  // namespace

TEST(EscapeControls, EscapesC0DelAndUtf8C1KeepingLinesInMessages)
{
    for (const EscapeCase& c : kEscapes) {
        EXPECT_EQ(EscapeControls(c.text), c.message) << c.what;
        EXPECT_EQ(EscapeControls(c.text, LineBreaks::escape), c.line) << c.what;
    }
}

TEST(EscapeControls, ShowEscapesTheUtf8C1RangeToo)
{
    EXPECT_EQ(PrintableText("a\xC2\x9B" "b\xC2\xA0"), "a\\xC2\\x9Bb\xC2\xA0");
    EXPECT_EQ(PrintableText("\\\x1b"), "\\\\\\x1B");
}

TEST(EscapeControls, AFileReportIsOneLineWhateverTheNamesHold)
{
    cli::FileReport report;
    report.server = "ftp\x1b]0;x\x07";
    report.localPath = "/site/a\nb.html";
    report.destination = "/www/a\tb\xC2\x85.html";
    report.bytes = 12;
    report.outcome = UploadOutcome::Sent;
    const std::string line = cli::FormatFileReport(report);
    EXPECT_EQ(line.find_first_of("\n\t\x1b\x07"), std::string::npos) << line;
    EXPECT_EQ(line.rfind("ftp\\x1b]0;x\\x07: /site/a\\x0ab.html -> /www/a\\x09b\\xc2\\x85.html, 12 bytes, ", 0), 0u)
        << line;
}
