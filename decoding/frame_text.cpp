#include "decoding/frame_text.h"

#include <cstring>

namespace {

constexpr bool dropped(std::uint8_t b)
{
    return b == 0x00 || b == 0xEC;
}

// True when one of the eight bytes is 0x00 or 0xEC (the classic "has a zero
// byte" test, once as is and once against 0xEC).
inline bool wordHasDropped(std::uint64_t v)
{
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = 0x8080808080808080ULL;
    constexpr std::uint64_t ec = 0xECECECECECECECECULL;
    const std::uint64_t x = v ^ ec;
    return (((v - ones) & ~v) | ((x - ones) & ~x)) & highs;
}

// Copies [in, in + n) to out without the dropped bytes; returns the count
// written. Runs of eight clean bytes, the common case in request text, move as
// one word.
std::size_t filter(const std::uint8_t *in, std::size_t n, char *out)
{
    std::size_t w = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t v;
        std::memcpy(&v, in + i, 8);
        if (!wordHasDropped(v)) {
            std::memcpy(out + w, &v, 8);
            w += 8;
            continue;
        }
        for (std::size_t k = 0; k < 8; ++k) {
            const std::uint8_t b = in[i + k];
            out[w] = static_cast<char>(b);
            w += !dropped(b);
        }
    }
    for (; i < n; ++i) {
        const std::uint8_t b = in[i];
        out[w] = static_cast<char>(b);
        w += !dropped(b);
    }
    return w;
}

} // namespace

std::size_t frameTextEnd(FrameBytes frame)
{
    const std::uint8_t *data = frame.data();
    const std::size_t n = frame.size();
    for (std::size_t from = 0; from < n;) {
        const void *hit = std::memchr(data + from, 0xC0, n - from);
        if (!hit)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const std::uint8_t *>(hit) - data);
        if (at + 1 < n && data[at + 1] == 0x80)
            return at;
        from = at + 1;
    }
    return n;
}

void FrameToText(FrameBytes frame, std::string &text)
{
    const std::size_t end = frameTextEnd(frame);
    text.resize(end);
    text.resize(filter(frame.data(), end, text.data()));
}

std::string FrameToText(FrameBytes frame)
{
    std::string text;
    FrameToText(frame, text);
    return text;
}
