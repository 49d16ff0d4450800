#include "decoding/ethernet.h"

#include "decoding/net_convert.h"

namespace {

const char *typeName(std::uint16_t type)
{
    switch (type) {
    case 0x0800: return "[IPv4]";
    case 0x0806: return "[Arp]";
    case 0x8035: return "[Rarp]";
    case 0x8137: return "[Novell Netware IPX]";
    case 0x86DD: return "[IPv6]";
    case 0x8037: return "[IPX]";
    case 0x809B: return "[Ethertalk]";
    case 0x814C: return "[SNMP over Ethernet]";
    default: return nullptr;
    }
}

} // namespace

void clsEthernet::Decode(FrameBytes frame)
{
    const std::size_t start = start_ < 0 ? 0 : static_cast<std::size_t>(start_);
    if (frame.size() < 14 || frame.size() < start + 12)
        return;
    const auto type = static_cast<std::uint16_t>(frame[12] << 8 | frame[13]);
    const bool ieee8023 = type <= 1500;
    if (ieee8023 && frame.size() < 17)
        return;

    destination_ = MacToString(frame, start, 5);
    source_ = MacToString(frame, start + 6, 5);
    typeCode_ = BytesToInteger(frame[12], frame[13]);
    lastByte_ = 13;
    if (ieee8023) {
        typeText_ = "[Ethernet IEEE 802.3]";
        dsap_ = frame[14];
        ssap_ = frame[15];
        control_ = frame[16];
        lastByte_ = 21;
        if (dsap_ == ssap_ && dsap_ == 0xF0)
            typeText_ += " [NETBIOS LLC Encapsulation]";
        else if (dsap_ == ssap_ && dsap_ == 0xFF)
            typeText_ += " [IPX RAW 802.3 Encapsulation]";
    } else if (const char *name = typeName(type)) {
        typeText_ = name;
    } else {
        typeText_ = " Unknown ->TypeCode: " + toUpperHex(type);
    }
}
