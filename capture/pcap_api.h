// The libpcap calls pktwell makes, gathered so that tests can stand in for
// failures libpcap cannot be made to produce on a test machine.
#pragma once

#include <pcap/pcap.h>

namespace pktwell {

struct PcapApi {
    int (*findalldevs)(pcap_if_t **, char *);
    void (*freealldevs)(pcap_if_t *);
    pcap_t *(*create)(const char *, char *);
    int (*set_snaplen)(pcap_t *, int);
    int (*set_promisc)(pcap_t *, int);
    int (*set_timeout)(pcap_t *, int);
    int (*set_buffer_size)(pcap_t *, int);
    int (*activate)(pcap_t *);
    int (*setnonblock)(pcap_t *, int, char *);
    int (*get_selectable_fd)(pcap_t *);
    pcap_t *(*fopen_offline)(FILE *, char *);
    int (*next_ex)(pcap_t *, struct pcap_pkthdr **, const u_char **);
    void (*close)(pcap_t *);
    char *(*geterr)(pcap_t *);
    pcap_dumper_t *(*dump_open)(pcap_t *, const char *);
    void (*dump)(u_char *, const struct pcap_pkthdr *, const u_char *);
    void (*dump_close)(pcap_dumper_t *);
    int (*sendpacket)(pcap_t *, const u_char *, int);
    int (*stats)(pcap_t *, struct pcap_stat *);
};

// The table in use; tests may replace single entries and restore them with
// realPcapApi().
PcapApi &pcapApi();
const PcapApi &realPcapApi();

} // namespace pktwell
