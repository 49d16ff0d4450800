#include "support/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace testsupport {

namespace {

sockaddr_in loopback(std::uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

} // namespace

LoopbackListener::LoopbackListener()
{
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || listen(fd_, 64) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    socklen_t len = sizeof a;
    getsockname(fd_, reinterpret_cast<sockaddr *>(&a), &len);
    port_ = ntohs(a.sin_port);
}

LoopbackListener::~LoopbackListener()
{
    if (fd_ >= 0)
        close(fd_);
}

void sendTcp(std::uint16_t port, const std::string &bytes)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(port);
    if (connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0)
        (void)!send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    close(fd);
}

void sendUdp(std::uint16_t port, const std::string &bytes)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a = loopback(port);
    (void)!sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr *>(&a), sizeof a);
    close(fd);
}

std::string uniqueToken()
{
    static std::atomic<int> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return "tok" + std::to_string(getpid()) + "x" + std::to_string(now % 1000000007) + "n" + std::to_string(counter++);
}

} // namespace testsupport
