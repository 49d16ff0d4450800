// Plain-socket helpers for tests that make real traffic on 127.0.0.1.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// A TCP listener on 127.0.0.1 with an ephemeral port; closes on destruction.
class LoopbackListener {
public:
    LoopbackListener();
    ~LoopbackListener();
    std::uint16_t port() const { return port_; }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// Connects to 127.0.0.1:port, sends the bytes, and closes.
void sendTcp(std::uint16_t port, const std::string &bytes);

// Sends one UDP datagram to 127.0.0.1:port.
void sendUdp(std::uint16_t port, const std::string &bytes);

// A text unlikely to occur in other traffic.
std::string uniqueToken();

} // namespace testsupport
