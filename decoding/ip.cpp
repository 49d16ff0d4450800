#include "decoding/ip.h"

#include "decoding/net_convert.h"

namespace {

std::string dotted(FrameBytes frame, std::size_t first)
{
    return std::to_string(frame[first]) + '.' + std::to_string(frame[first + 1]) + '.'
           + std::to_string(frame[first + 2]) + '.' + std::to_string(frame[first + 3]);
}

const char *protocolName(int protocol)
{
    switch (protocol) {
    case 1: return "ICMP";
    case 6: return "TCP";
    case 17: return "UDP";
    default: return "UNKNOWN";
    }
}

} // namespace

void clsIP::Decode(FrameBytes frame)
{
    if (frame.size() < 34)
        return;
    version_ = frame[14] >> 4;
    headerLength_ = frame[14] & 0x0F;
    totalLength_ = BytesToInteger(frame[16], frame[17]);
    identification_ = BytesToInteger(frame[18], frame[19]);
    fragmentOffset_ = static_cast<std::int16_t>(BytesToInteger(frame[20], frame[21]) & 0x1FFF);
    ttl_ = frame[22];
    protocol_ = frame[23];
    protocolName_ = protocolName(protocol_);
    checksum_ = toUpperHex(static_cast<std::uint16_t>(BytesToInteger(frame[24], frame[25])));
    source_ = dotted(frame, 26);
    destination_ = dotted(frame, 30);
}
