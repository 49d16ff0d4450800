// From a captured frame to the text the site rules see.
#pragma once

#include "decoding/frame_text.h"

#include <string>
#include <string_view>

// The frame's text from its first "GET" to its end, unless the frame has no
// "GET" or is the program's own traffic (the own-traffic header line, or the
// update host's name when that is not empty). Only the part from the "GET"
// on is turned into text.
bool requestTextOf(FrameBytes frame, std::string_view updateHostName, std::string &text);
