#include "decoding/net_convert.h"

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
}

std::int16_t BytesToInteger(std::uint8_t first, std::uint8_t second, ByteOrder order)
{
    const std::uint8_t high = order == ByteOrder::HighLow ? first : second;
    const std::uint8_t low = order == ByteOrder::HighLow ? second : first;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(high << 8 | low));
}

std::int32_t WordsToLong(std::int16_t high, std::int16_t low)
{
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16
                      | static_cast<std::uint16_t>(low);
    return static_cast<std::int32_t>(bits);
}

std::string MacToString(FrameBytes frame, std::size_t first, std::size_t count)
{
    std::string text;
    for (std::size_t i = first; i <= first + count && i < frame.size(); ++i) {
        if (!text.empty())
            text += ':';
        text += kHex[frame[i] >> 4];
        text += kHex[frame[i] & 0x0F];
    }
    return text;
}

std::string toUpperHex(std::uint32_t value)
{
    std::string text;
    do {
        text.insert(text.begin(), kHex[value & 0x0F]);
        value >>= 4;
    } while (value);
    return text;
}
