#include "capture/pcap_api.h"

namespace pktwell {

const PcapApi &realPcapApi()
{
    static const PcapApi real{
        pcap_findalldevs, pcap_freealldevs, pcap_create,      pcap_set_snaplen,
        pcap_set_promisc, pcap_set_timeout, pcap_set_buffer_size, pcap_activate,
        pcap_setnonblock, pcap_get_selectable_fd, pcap_fopen_offline, pcap_next_ex,
        pcap_close,       pcap_geterr,      pcap_dump_open,   pcap_dump,
        pcap_dump_close,  pcap_sendpacket, pcap_stats,
    };
    return real;
}

PcapApi &pcapApi()
{
    static PcapApi api = realPcapApi();
    return api;
}

} // namespace pktwell
