#pragma once

#include <string_view>

// The header line every request of the program's own carries, so that the
// monitor never reports the program's own traffic.
inline constexpr std::string_view kOwnTrafficHeader = "Demon: Quillbox#id52840";
