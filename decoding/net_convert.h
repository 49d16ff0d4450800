// Conversions the header decoders share.
#pragma once

#include "decoding/frame_text.h"

#include <cstdint>
#include <string>

enum class ByteOrder { HighLow, LowHigh };

// The two bytes as a signed 16-bit value, high * 256 + low in two's complement.
// With ByteOrder::LowHigh the arguments come low byte first.
std::int16_t BytesToInteger(std::uint8_t first, std::uint8_t second, ByteOrder order = ByteOrder::HighLow);

// high * 65536 + (low AND 0xFFFF) as a 32-bit two's-complement value.
std::int32_t WordsToLong(std::int16_t high, std::int16_t low);

// Bytes first .. first + count (count + 1 of them) as uppercase hex pairs
// joined by ":". Bytes past the end of the frame are left out.
std::string MacToString(FrameBytes frame, std::size_t first, std::size_t count);

// Uppercase hexadecimal without leading zeros ("0" for zero).
std::string toUpperHex(std::uint32_t value);
