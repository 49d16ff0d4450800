// Text operations the site rules cut requests apart with. Positions are
// 1-based, 0 means "not found"; every search is case-sensitive and finds the
// first occurrence.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// True when the marker is not empty and occurs in the text.
bool Contains(std::string_view text, std::string_view marker);

// Position of the first occurrence at or after `from`, 0 when absent (and for
// an empty marker).
std::size_t Pos(std::string_view text, std::string_view marker, std::size_t from = 1);

// Characters at positions from .. to - 1. A cut that starts at 0 or ends
// before its start has no defined value.
std::optional<std::string> Cut(std::string_view text, std::size_t from, std::size_t to);

// The value of the first "Host:" line, space after the colon included, up to
// its CR LF; no value when that line has no CR LF.
std::optional<std::string> HostValue(std::string_view text);

// Removes spaces and CR LF pairs, and prefixes "http://" unless the result
// already holds it somewhere.
std::string NormaliseLink(std::string_view link);
