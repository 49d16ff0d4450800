// Counts the frames of a capture file that carry a request line holding
// MARKER, and how many of them hold the pair C0 80 before it (which ends the
// frame's text, so the monitor cannot see those requests).
//
//   count_requests FILE MARKER
#include <pcap/pcap.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: count_requests FILE MARKER\n");
        return 2;
    }
    char errbuf[PCAP_ERRBUF_SIZE];
    pcap_t *p = pcap_open_offline(argv[1], errbuf);
    if (!p) {
        std::fprintf(stderr, "%s\n", errbuf);
        return 1;
    }
    const std::string marker = std::string("GET ") + argv[2];
    const unsigned char pair[] = {0xC0, 0x80};
    long requests = 0, hidden = 0;
    pcap_pkthdr *h;
    const u_char *d;
    while (pcap_next_ex(p, &h, &d) == 1) {
        const void *at = memmem(d, h->caplen, marker.data(), marker.size());
        if (!at)
            continue;
        ++requests;
        const auto before = static_cast<std::size_t>(static_cast<const u_char *>(at) - d);
        if (memmem(d, before + 1, pair, sizeof pair))
            ++hidden;
    }
    pcap_close(p);
    std::printf("%ld %ld\n", requests, hidden);
    return 0;
}
