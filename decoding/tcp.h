// Fixed part of a TCP header, read at index 34 of an Ethernet frame (after a
// 20-byte IPv4 header, whatever its real length).
#pragma once

#include "decoding/frame_text.h"

#include <cstdint>
#include <string>

class clsTCP {
public:
    std::int32_t OptPad() const { return 0; }
    std::int16_t urgentPointer() const { return urgentPointer_; }
    std::int16_t HD_Checksum() const { return checksum_; }
    std::int16_t window() const { return window_; }
    std::uint8_t flags() const { return flags_; }
    std::uint8_t Reserved() const { return 0; }
    std::uint8_t dataOffset() const { return 0; }
    std::int32_t ackNumber() const { return ackNumber_; }
    std::int32_t seqNumber() const { return seqNumber_; }
    // Ports are signed 16-bit values: 50000 reads -15536.
    std::string dstPort() const { return std::to_string(dstPort_); }
    std::string srcPort() const { return std::to_string(srcPort_); }
    const std::string &flagString() const { return flagString_; }

    // Frames shorter than 54 bytes leave every field as it was.
    void Decode(FrameBytes frame);

    std::uint8_t HLEN() const { return headerLength_; }

private:
    std::int32_t srcPort_ = 0;
    std::int32_t dstPort_ = 0;
    std::int32_t seqNumber_ = 0;
    std::int32_t ackNumber_ = 0;
    std::uint8_t headerLength_ = 0;
    std::uint8_t flags_ = 0;
    std::int16_t window_ = 0;
    std::int16_t checksum_ = 0;
    std::int16_t urgentPointer_ = 0;
    std::string flagString_;
};
