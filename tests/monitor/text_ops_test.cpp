#include "monitor/request_rules.h"
#include "monitor/text_ops.h"

#include <gtest/gtest.h>

namespace {

TEST(TextOps, PositionsAreOneBasedAndCaseSensitive)
{
    EXPECT_EQ(Pos("GET /a HTTP", "GET"), 1u);
    EXPECT_EQ(Pos("GET /a HTTP", "HTTP"), 8u);
    EXPECT_EQ(Pos("GET /a HTTP", "http"), 0u);
    EXPECT_EQ(Pos("abcabc", "bc", 3), 5u);
    EXPECT_EQ(Pos("abc", ""), 0u);
    EXPECT_FALSE(Contains("abc", ""));
    EXPECT_TRUE(Contains("abc", "bc"));
    EXPECT_EQ(Cut("abcdef", 2, 5), "bcd");
    EXPECT_EQ(Cut("abcdef", 3, 3), "");
    EXPECT_EQ(Cut("abcdef", 0, 3), std::nullopt) << "a start of 0 is no position";
    EXPECT_EQ(Cut("abcdef", 4, 3), std::nullopt) << "an end before the start";
}

TEST(TextOps, HostValue)
{
    struct { const char *text; std::optional<std::string> host; } cases[] = {
        {"GET /v.flv HTTP/1.1\r\nHost: H\r\n\r\n", " H"},
        {"GET /a.flv HTTP/1.1\r\n\r\n", "/a.flv HTTP/1.1"},
        {"GET /a.flv HTTP/1.1\r\nhost: h\r\n\r\n", "/a.flv HTTP/1.1"},
        {"GET /a.flv HTTP/1.1\r\nHost: cut-off", std::nullopt},
        {"GET /a.flv HTTP/1.1\r\nHost: a\r\nHost: b\r\n", " a"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HostValue(c.text), c.host) << c.text;
}

TEST(TextOps, NormaliseLink)
{
    struct { const char *in; const char *out; } cases[] = {
        {" h/v.flv ", "http://h/v.flv"},
        {"a b\r\nc", "http://abc"},
        {"a\r \nb", "http://ab"},             // spaces go first, then the CR LF they split
        {"a\rb\nc", "http://a\rb\nc"},         // lone CR and LF stay
        {"h\t/x", "http://h\t/x"},
        {"hhttp://h/p.flv", "hhttp://h/p.flv"}, // "http://" anywhere: no prefix
    };
    for (const auto &c : cases)
        EXPECT_EQ(NormaliseLink(c.in), c.out) << c.in;
}

TEST(RequestMatcher, LinksFromHostAndTarget)
{
    const RequestRule rule{"Host:", "L", "", ".flv", 7, true};
    struct { const char *text; bool fired; std::optional<std::string> link; } cases[] = {
        {"GET /v.flv HTTP/1.1\r\nHost: H\r\n\r\n", true, "http://H/v.flv"},
        {"GET /a.flv HTTP/1.1\r\n\r\n", false, std::nullopt}, // no "Host:" marker at all
        {"GET http://H/p.flv HTTP/1.1\r\nHost: H\r\n\r\n", true, "Hhttp://H/p.flv"},
        {"GET /THE_HTTP_WAY/v.flv HTTP/1.1\r\nHost: H\r\n\r\n", true, "http://H/THE_"},
        {"GET /v.flv HTTP/1.1\r\nHost: H", true, std::nullopt}, // the host line never ends
        {"get /v.flv HTTP/1.1\r\nHost: H\r\n\r\n", false, std::nullopt},
        {"xGET /v.flv HTTP/1.1\r\nHost: H\r\n\r\n", false, std::nullopt},
    };
    for (const auto &c : cases) {
        const MatchResult r = MatchRequestRule(c.text, rule);
        EXPECT_EQ(r.fired, c.fired) << c.text;
        EXPECT_EQ(r.offer ? std::optional(r.offer->link) : std::nullopt, c.link) << c.text;
        if (r.offer) {
            EXPECT_EQ(r.offer->colour, 7u);
            EXPECT_EQ(r.offer->mp3, true);
            EXPECT_FALSE(r.offer->replay);
        }
    }
    // The no-"Host:" reading of the host value, with a host marker the text has.
    const MatchResult noHost = MatchRequestRule("GET /a.flv HTTP/1.1\r\n\r\n", {"GET", "L", "", ".flv", 0, false});
    ASSERT_TRUE(noHost.offer);
    EXPECT_EQ(noHost.offer->link, "http:///a.flvHTTP/1.1/a.flv");
}

TEST(RequestMatcher, ExtraMarkerAndReplay)
{
    const std::string text = "GET /v.flv HTTP/1.1\r\nHost: H\r\n\r\n";
    EXPECT_FALSE(MatchRequestRule(text, {"Host:", "L", "absent", ".flv", 0, false}).fired);
    EXPECT_TRUE(MatchRequestRule(text, {"Host:", "L", "H\r\n", ".flv", 0, false}).fired);
    const MatchResult replay = MatchReplayRule(text, {"Host:", "L", "", ".flv", 0, false});
    ASSERT_TRUE(replay.offer);
    EXPECT_EQ(replay.offer->replay, text);
}

} // namespace
