// The port of a server name: 1 to 65535 are ports; 0 and anything past
// 65535 (which would wrap into 16 bits) are refused as a bad server name.

#include "platform/ftp/ServerAddress.h"

#include <gtest/gtest.h>

#include <string>

TEST(ServerAddressPort, TheSixteenBitBoundary)
{
    struct Case {
        std::string text;
        int port;  // 0: refused
    };
    const Case cases[] = {
        {"host:1", 1},      {"host:65535", 65535}, {"host:65536", 0},      {"host:0", 0},
        {"host:131093", 0}, {"[::1]:65536", 0},    {"[::1]:65535", 65535}, {"host:4294967317", 0},
    };
    for (const Case& c : cases) {
        const auto parsed = ftp::ParseServerAddress(c.text, 0);
        if (c.port == 0) {
            ASSERT_FALSE(parsed) << c.text;
            EXPECT_EQ(parsed.error().text, "Invalid server name \"" + c.text + "\".");
            continue;
        }
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->port, c.port) << c.text;
    }
}
