#include "downloads/progress.h"
#include "downloads/url_parts.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseUrl, Table)
{
    struct { const char *address; RemoteAddress parts; int port; } cases[] = {
        {"http://www.host.example:8080/v/a.flv", {"host.example", "8080", "/v/a.flv"}, 8080},
        {"host.example", {"host.example", "80", "/"}, 80},
        {"HTTP://WWW.Host.example/p?q=1&r=a b", {"Host.example", "80", "/p?q=1&r=a b"}, 80},
        {"www.h/x", {"h", "80", "/x"}, 80},
        {"http://h:/x", {"h", "", "/x"}, 0},
        {"https://h/x", {"https", "", "//h/x"}, 0},
        {"/relative/path", {"", "80", "/relative/path"}, 80},
        {"http://h:8a/x", {"h", "8a", "/x"}, 8},
        {"http://h:99999/x", {"h", "99999", "/x"}, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ParseUrl(c.address), c.parts) << c.address;
        EXPECT_EQ(portNumber(ParseUrl(c.address).port), c.port) << c.address;
    }
}

TEST(FormatSize, Table)
{
    struct { qint64 bytes; std::optional<QString> text; } cases[] = {
        {1, "1 B"},           {1023, "1023 B"},      {1024, "1 KB"},          {1536, "1.5 KB"},
        {1048576, "1 MB"},    {5000000, "4.77 MB"},  {1073741824, "1 GB"},    {1099511627775, "1024 GB"},
        {1099511627776, {}},  {0, {}},               {-5, {}},                {1025, "1 KB"},
        {1029, "1 KB"},       {1030, "1.01 KB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatSize(c.bytes), c.text) << c.bytes;
}

TEST(ProgressTexts, Table)
{
    struct Case {
        qint64 received, length, elapsedMs;
        std::optional<QString> loaded, speed, remaining, percent;
        std::optional<float> progress;
        bool known;
    } cases[] = {
        // 1 MB of 4 MB after 2 s: 512 KB/s, 6 s left.
        {1048576, 4194304, 2000, "1 MB / 4 MB", "512 KB/s", "00:00:06", "25%", 25.0f, true},
        // elapsed 2.5 s rounds to 2 (halves to even); speed 1.5 rounds to 2.
        {3, 7, 2500, "3 B / 7 B", "2 B/s", "00:00:02", "43%", 300.0f / 7.0f, true},
        // Half a percent rounds away from zero.
        {1, 200, 1000, "1 B / 200 B", "1 B/s", "00:03:19", "1%", 0.5f, true},
        // Unknown length: the count in bytes, no percentage, no progress.
        {5000, -1, 1000, std::nullopt, "4.88 KB/s", std::nullopt, std::nullopt, std::nullopt, false},
        // Nothing received yet: speed 0 (no size), remaining 0.
        {0, 100, 3000, std::nullopt, std::nullopt, "00:00:00", "0%", 0.0f, true},
        // More than a day left wraps around.
        {1, 100001, 1000, "1 B / 97.66 KB", "1 B/s", "03:46:40", "0%", 1.0f / 100001.0f * 100.0f, true},
        // Less than half a second: no speed can be formed.
        {10, 100, 400, "10 B / 100 B", std::nullopt, std::nullopt, "10%", 10.0f, true},
    };
    for (const Case &c : cases) {
        const ProgressTexts t = computeProgress(c.received, c.length, c.elapsedMs);
        EXPECT_EQ(t.loaded, c.loaded) << c.received;
        EXPECT_EQ(t.speed, c.speed) << c.received;
        EXPECT_EQ(t.remaining, c.remaining) << c.received;
        EXPECT_EQ(t.percent, c.percent) << c.received;
        EXPECT_EQ(t.lengthKnown, c.known);
        ASSERT_EQ(t.progress.has_value(), c.progress.has_value()) << c.received;
        if (t.progress) {
            EXPECT_FLOAT_EQ(*t.progress, *c.progress);
            EXPECT_EQ(t.tooltip, "Progress : " + singleText(*c.progress) + " %");
        }
        EXPECT_EQ(t.bytesText, QString::number(c.received) + " Bytes");
    }
    EXPECT_EQ(singleText(50.0f), "50");
    EXPECT_EQ(singleText(100.0f / 3.0f), "33.333332");
    EXPECT_EQ(clockText(3661), "01:01:01");
}

} // namespace
