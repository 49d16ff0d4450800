#include "support/capture_files.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <iterator>

namespace testsupport {

Bytes tcpFrame(const std::string &payload)
{
    Bytes f = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x00, 0x45, 0x00, 0x05, 0xDC, 0x12, 0x34, 0x40, 0x00, 0x40,
               0x06, 0x00, 0x00, 127, 0, 0, 1, 127, 0, 0, 1, 0xC3, 0x50, 0x00, 0x50, 0, 0, 0, 1, 0, 0, 0, 1, 0x50,
               0x18, 0x01, 0xF5, 0, 0, 0, 0};
    f.reserve(f.size() + payload.size());
    std::copy(payload.begin(), payload.end(), std::back_inserter(f));
    return f;
}

bool writeCaptureFile(const QString &path, const std::vector<Bytes> &frames)
{
    pcap_t *dead = pcap_open_dead(DLT_EN10MB, 65536);
    pcap_dumper_t *dump = pcap_dump_open(dead, path.toLocal8Bit().constData());
    if (!dump) {
        pcap_close(dead);
        return false;
    }
    long second = 1700000000;
    for (const Bytes &f : frames) {
        pcap_pkthdr h{};
        h.ts.tv_sec = second++;
        h.caplen = h.len = static_cast<bpf_u_int32>(f.size());
        pcap_dump(reinterpret_cast<u_char *>(dump), &h, f.data());
    }
    pcap_dump_close(dump);
    pcap_close(dead);
    return true;
}

} // namespace testsupport
