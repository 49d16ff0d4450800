#include "decoding/frame_text.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> v;
    for (int b : values)
        v.push_back(static_cast<std::uint8_t>(b));
    return v;
}

std::vector<std::uint8_t> bytes(const std::string &text)
{
    return {text.begin(), text.end()};
}

// The plain reading of the rule, one byte at a time: the reference the fast
// version must match character for character.
std::string referenceText(const std::vector<std::uint8_t> &frame)
{
    std::string text;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] == 0xC0 && i + 1 < frame.size() && frame[i + 1] == 0x80)
            break;
        if (frame[i] == 0x00 || frame[i] == 0xEC)
            continue;
        text += static_cast<char>(frame[i]);
    }
    return text;
}

struct Case {
    const char *name;
    std::vector<std::uint8_t> frame;
    std::string text;
};

TEST(FrameToText, EdgeCases)
{
    const std::vector<Case> cases = {
        {"zeros vanish and letters join", bytes({0x47, 0x00, 0x45, 0x00, 0x54}), "GET"},
        {"0xEC is dropped anywhere", bytes({0xEC, 'a', 0xEC, 'b', 0xEC}), "ab"},
        {"C0 80 ends the text", bytes({0x41, 0xC0, 0x80, 0x42}), "A"},
        {"trailing C0 is kept", bytes({0x41, 0xC0}), "A\xC0"},
        {"C0 not followed by 80 is ordinary", bytes({0xC0, 0x41, 0xC0, 0x81}), "\xC0" "A\xC0\x81"},
        {"all zero frame", std::vector<std::uint8_t>(60, 0), ""},
        {"empty frame", {}, ""},
        {"C0 80 at the start", bytes({0xC0, 0x80, 'G', 'E', 'T'}), ""},
        {"lower case stays", bytes("get /a.flv"), "get /a.flv"},
        {"high bytes are single characters", bytes({0xE9, 0xFF, 0x80}), "\xE9\xFF\x80"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FrameToText(c.frame), c.text) << c.name;
}

TEST(FrameToText, RequestLineAfterHeaderBytes)
{
    std::vector<std::uint8_t> frame = bytes({0x00, 0x01, 0xEC, 0x45, 0x00, 0x00, 0x34});
    const std::string request = "GET /video.flv HTTP/1.1\r\nHost: example\r\n\r\n";
    frame.insert(frame.end(), request.begin(), request.end());
    EXPECT_EQ(FrameToText(frame), std::string("\x01\x45\x34") + request);
}

// Random frames of every length around the eight-byte steps, dense in the
// special bytes, against the byte-by-byte reading.
TEST(FrameToText, MatchesReferenceOnRandomFrames)
{
    std::mt19937 random(7);
    const std::uint8_t palette[] = {0x00, 0xEC, 0xC0, 0x80, 'G', 'E', 'T', 0x41};
    std::string reused;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> frame(random() % 70);
        for (auto &b : frame)
            b = random() % 3 ? palette[random() % 8] : static_cast<std::uint8_t>(random());
        FrameToText(frame, reused);
        ASSERT_EQ(reused, referenceText(frame)) << "round " << round;
    }
}

TEST(FrameToText, EndIsTheFirstC080Pair)
{
    EXPECT_EQ(frameTextEnd(bytes({1, 0xC0, 0xC0, 0x80, 0xC0, 0x80})), 2u);
    EXPECT_EQ(frameTextEnd(bytes({1, 2, 0xC0})), 3u);
}

} // namespace
