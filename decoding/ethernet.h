// Link-layer header of a captured frame.
#pragma once

#include "decoding/frame_text.h"

#include <cstdint>
#include <string>

class clsEthernet {
public:
    std::int16_t LastByte() const { return lastByte_; }
    void setStart(std::int16_t start) { start_ = start; }

    // Frames shorter than the header (14 bytes, 17 for IEEE 802.3) leave every
    // field as it was.
    void Decode(FrameBytes frame);

    std::string TypeCode() const { return std::to_string(typeCode_); }
    const std::string &SourceMAC() const { return source_; }
    const std::string &DestinationMAC() const { return destination_; }
    const std::string &TypeCodeString() const { return typeText_; }

    std::uint8_t DSAP() const { return dsap_; }
    std::uint8_t SSAP() const { return ssap_; }
    std::int16_t Control() const { return control_; }

private:
    std::int16_t start_ = 0;
    std::int16_t lastByte_ = 0;
    std::int16_t typeCode_ = 0;
    std::string destination_;
    std::string source_;
    std::string typeText_;
    std::uint8_t dsap_ = 0;
    std::uint8_t ssap_ = 0;
    std::int16_t control_ = 0;
};
