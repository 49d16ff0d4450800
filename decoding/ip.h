// Fixed part of an IPv4 header, read at index 14 of an Ethernet frame.
#pragma once

#include "decoding/frame_text.h"

#include <cstdint>
#include <string>

class clsIP {
public:
    std::int32_t Options() const { return 0; }
    const std::string &DestIP() const { return destination_; }
    const std::string &SrcIP() const { return source_; }
    const std::string &HD_Cheksum() const { return checksum_; }
    std::int32_t Protocol() const { return protocol_; }
    std::int32_t TTL() const { return ttl_; }
    std::int32_t FragmentOffset() const { return fragmentOffset_; }
    std::int32_t Identification() const { return identification_; }
    std::int32_t TotalLength() const { return totalLength_; }
    std::uint8_t IHL() const { return headerLength_; }
    std::uint8_t Ver() const { return version_; }

    // Frames shorter than 34 bytes leave every field as it was.
    void Decode(FrameBytes frame);

    const std::string &sProtocol() const { return protocolName_; }

private:
    std::uint8_t version_ = 0;
    std::uint8_t headerLength_ = 0;
    std::int16_t totalLength_ = 0;
    std::int16_t identification_ = 0;
    std::int16_t fragmentOffset_ = 0;
    std::int16_t ttl_ = 0;
    std::int16_t protocol_ = 0;
    std::string protocolName_;
    std::string checksum_;
    std::string source_;
    std::string destination_;
};
