// The text form of a captured frame that request searches run over: every
// byte is one character, except that 0x00 and 0xEC vanish and the pair C0 80
// ends the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

using FrameBytes = std::span<const std::uint8_t>;

std::string FrameToText(FrameBytes frame);

// The same, into `text`, reusing its storage: for per-frame loops.
void FrameToText(FrameBytes frame, std::string &text);

// Index of the C0 80 pair that ends the text, or the frame's size.
std::size_t frameTextEnd(FrameBytes frame);
