#include "decoding/tcp.h"

#include "decoding/net_convert.h"

namespace {

std::int32_t longAt(FrameBytes frame, std::size_t i)
{
    return WordsToLong(BytesToInteger(frame[i], frame[i + 1]), BytesToInteger(frame[i + 2], frame[i + 3]));
}

} // namespace

void clsTCP::Decode(FrameBytes frame)
{
    if (frame.size() < 54)
        return;
    srcPort_ = BytesToInteger(frame[34], frame[35]);
    dstPort_ = BytesToInteger(frame[36], frame[37]);
    seqNumber_ = longAt(frame, 38);
    ackNumber_ = longAt(frame, 42);
    headerLength_ = frame[46] >> 4;
    flags_ = frame[47];
    window_ = BytesToInteger(frame[48], frame[49]);
    checksum_ = BytesToInteger(frame[50], frame[51]);
    urgentPointer_ = BytesToInteger(frame[52], frame[53]);

    static constexpr const char *names[] = {"FIN;", "SYN;", "RESET;", "PUSH;", "ACK;", "URGENT;"};
    flagString_.clear();
    for (int bit = 0; bit < 6; ++bit)
        if (flags_ & (1u << bit))
            flagString_ += names[bit];
}
