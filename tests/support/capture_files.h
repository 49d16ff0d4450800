// Builds frames and capture files for tests that feed the monitor.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// An Ethernet + IPv4 + TCP frame (127.0.0.1 to 127.0.0.1, port 80) carrying
// the payload.
Bytes tcpFrame(const std::string &payload);

// Writes a libpcap capture file (Ethernet link type) with the frames.
bool writeCaptureFile(const QString &path, const std::vector<Bytes> &frames);

} // namespace testsupport
