#include "monitor/request_text.h"

#include "monitor/own_traffic.h"
#include "monitor/text_ops.h"

#include <cstring>

namespace {

bool dropped(std::uint8_t b)
{
    return b == 0x00 || b == 0xEC;
}

// Index of the raw byte that starts the text's first "GET": a 'G' whose next
// kept bytes are 'E' and 'T' (the bytes the text drops may stand between).
std::size_t firstGet(const std::uint8_t *data, std::size_t n)
{
    std::size_t from = 0;
    while (from < n) {
        const void *hit = std::memchr(data + from, 'G', n - from);
        if (!hit)
            break;
        const auto at = static_cast<std::size_t>(static_cast<const std::uint8_t *>(hit) - data);
        std::size_t j = at + 1;
        bool match = true;
        for (const char want : {'E', 'T'}) {
            while (j < n && dropped(data[j]))
                ++j;
            if (j >= n || data[j] != want) {
                match = false;
                break;
            }
            ++j;
        }
        if (match)
            return at;
        from = at + 1;
    }
    return n;
}

} // namespace

bool requestTextOf(FrameBytes frame, std::string_view updateHostName, std::string &text)
{
    // Most frames hold no "GET": look for it before anything else.
    const std::size_t get = firstGet(frame.data(), frame.size());
    if (get == frame.size())
        return false;
    const std::size_t end = frameTextEnd(frame);
    if (end <= get)
        return false;
    FrameToText(frame.subspan(get, end - get), text);
    return !Contains(text, kOwnTrafficHeader) && !Contains(text, updateHostName);
}
