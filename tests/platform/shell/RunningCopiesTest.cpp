// The running-copies protocol: what goes over the socket in each direction.

#include "platform/shell/RunningCopies.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace running_copies;

TEST(RunningCopiesProtocol, WindowLinesCarryAnyTitle)
{
    const RunningWindow windows[] = {
        {1, true, "CMainFrame", "Untitled - Tessarine"},
        {18446744073709551615ULL, false, "QDialog", "tab\there, line\nthere, back\\slash, cr\r"},
        {0, true, "", ""},
    };
    for (const RunningWindow& window : windows) {
        const std::string line = FormatWindowLine(window);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
        EXPECT_EQ(ParseWindowLine(line.substr(0, line.size() - 1)), window);
    }
    const std::string reply = FormatWindowLine(windows[0]) + FormatWindowLine(windows[1]) + "END\n";
    EXPECT_EQ(ParseListReply(reply), (std::vector<RunningWindow>{windows[0], windows[1]}));
    EXPECT_EQ(ParseListReply("END\n"), std::vector<RunningWindow>{});
}

TEST(RunningCopiesProtocol, MalformedRepliesAndRequestsAreRefused)
{
    for (const char* reply : {"", "END", "WINDOW\t1\t1\tC\tT\n", "garbage\nEND\n", "WINDOW\t1\t2\tC\tT\nEND\n",
                              "WINDOW\tx\t1\tC\tT\nEND\n", "WINDOW\t1\t1\tC\\q\tT\nEND\n", "WINDOW\t1\t1\tC\\\nEND\n",
                              "WINDOW\t1\t1\tC\nEND\n", "END\nEND\n"}) {
        SCOPED_TRACE(reply);
        EXPECT_FALSE(ParseListReply(reply));
    }
    struct Row {
        const char* line;
        std::optional<RequestKind> kind;
        std::uint64_t id;
    };
    const Row rows[] = {
        {"LIST", RequestKind::List, 0},
        {"QUERYEND 42", RequestKind::QueryEnd, 42},
        {"CLOSE 7", RequestKind::Close, 7},
        {"CLOSE", std::nullopt, 0},
        {"CLOSE -1", std::nullopt, 0},
        {"CLOSE 99999999999999999999999", std::nullopt, 0},
        {"QUERYEND 4 2", std::nullopt, 0},
        {"list", std::nullopt, 0},
        {"", std::nullopt, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const std::optional<Request> request = ParseRequest(row.line);
        ASSERT_EQ(request.has_value(), row.kind.has_value());
        if (request) {
            EXPECT_EQ(request->kind, *row.kind);
            EXPECT_EQ(request->id, row.id);
            EXPECT_EQ(FormatRequest(*request), std::string(row.line) + "\n");
        }
    }
}
