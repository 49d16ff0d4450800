#include "monitor/request_text.h"
#include "monitor_fakes.h"
#include "support/capture_files.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frameWith(const std::string &payload)
{
    return testsupport::tcpFrame(payload);
}

std::optional<std::string> requestText(const Bytes &frame, const std::string &updateHost = "update.example")
{
    std::string text;
    if (!requestTextOf(frame, updateHost, text))
        return std::nullopt;
    return text;
}

// The definition, spelled out: the whole frame as text, cut at its first GET.
std::optional<std::string> reference(const Bytes &frame)
{
    const std::string text = FrameToText(frame);
    const auto get = text.find("GET");
    if (get == std::string::npos)
        return std::nullopt;
    return text.substr(get);
}

TEST(RequestText, CutAtTheFirstGet)
{
    const std::string req = request("h.example", "/a.flv");
    struct { const char *why; Bytes frame; std::optional<std::string> text; } cases[] = {
        {"a plain request", frameWith(req), req},
        {"zero bytes inside the word", frameWith(std::string("G\0E\xEC" "T /x", 8)), "GET /x"},
        {"GET in the middle of a body", frameWith("HTTP/1.1 200 OK\r\n\r\nbody GET more"), "GET more"},
        {"lower case only", frameWith("get /a.flv HTTP/1.1\r\n"), std::nullopt},
        {"no request at all", frameWith("just data"), std::nullopt},
        {"C0 80 before the GET ends the text", frameWith("x\xC0\x80GET /a"), std::nullopt},
        {"C0 80 after the GET ends the request", frameWith("GET /a\xC0\x80 tail"), "GET /a"},
        {"GE at the very end", frameWith("GE"), std::nullopt},
        {"own traffic header", frameWith(req + "Demon: Quillbox#id52840\r\n"), std::nullopt},
        {"update host", frameWith(request("update.example", "/updates.php")), std::nullopt},
        {"empty frame", Bytes{}, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(requestText(c.frame), c.text) << c.why;
    EXPECT_EQ(requestText(frameWith(request("update.example", "/a.flv")), ""), request("update.example", "/a.flv"))
        << "an empty update host screens nothing";
}

TEST(RequestText, MatchesTheDefinitionOnRandomFrames)
{
    std::mt19937 random(11);
    const std::uint8_t palette[] = {'G', 'E', 'T', 0x00, 0xEC, 0xC0, 0x80, ' '};
    for (int round = 0; round < 5000; ++round) {
        Bytes frame(random() % 40);
        for (auto &b : frame)
            b = random() % 4 ? palette[random() % 8] : static_cast<std::uint8_t>(random());
        ASSERT_EQ(requestText(frame, ""), reference(frame)) << "round " << round;
    }
}

TEST(RequestText, LargeAndGarbageFrames)
{
    Bytes big(65536, 0x47); // 'G' everywhere, never followed by E T
    EXPECT_EQ(requestText(big), std::nullopt);
    const std::string tail = "GET /end.flv HTTP/1.1\r\n";
    std::copy(tail.begin(), tail.end(), big.end() - static_cast<long>(tail.size()));
    EXPECT_EQ(requestText(big), tail);

    std::mt19937 random(3);
    Bytes garbage(1514);
    for (int round = 0; round < 200; ++round) {
        for (auto &b : garbage)
            b = static_cast<std::uint8_t>(random());
        EXPECT_EQ(requestText(garbage, ""), reference(garbage));
    }
}

// The 303 rule sees the response only when a GET stands before it in the
// same frame, since the request text starts at the first GET.
TEST(RequestText, RedirectRuleNeedsAGetBeforeTheStatusLine)
{
    const RuleTable table(testPatterns());
    FixedSwitches switches(1, 0, 0);
    const std::string response =
        "HTTP/1.1 303 See Other\r\nLocation: http://cache.video.example/get_video?video_id=q\r\n\r\n";
    for (const auto &[payload, expected] :
         {std::pair{response, 0u}, {"GET /watch HTTP/1.1\r\nHost: a\r\n\r\n" + response, 1u}}) {
        RecordingRegistry registry;
        std::string text;
        if (requestTextOf(frameWith(payload), "", text))
            processRequestText(text, table, switches, registry);
        EXPECT_EQ(registry.opened.size(), expected);
    }
}

} // namespace
