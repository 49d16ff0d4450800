#include "decoding/ethernet.h"
#include "decoding/ip.h"
#include "decoding/net_convert.h"
#include "decoding/tcp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 54-byte Ethernet + IPv4 + TCP frame with chosen bytes patched in.
Bytes frameWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> patches, std::size_t size = 54)
{
    Bytes f(size, 0);
    f[12] = 0x08; // IPv4
    f[14] = 0x45;
    f[23] = 6;
    for (auto [at, value] : patches)
        f[at] = value;
    return f;
}

TEST(Conversions, BytesToIntegerBothOrders)
{
    struct { std::uint8_t high, low; std::int16_t value; } cases[] = {
        {0x00, 0x50, 80}, {0xFF, 0xFF, -1}, {0x80, 0x00, -32768}, {0xC3, 0x50, -15536}, {0x7F, 0xFF, 32767}};
    for (auto c : cases) {
        EXPECT_EQ(BytesToInteger(c.high, c.low), c.value);
        EXPECT_EQ(BytesToInteger(c.low, c.high, ByteOrder::LowHigh), c.value);
    }
}

TEST(Conversions, WordsToLongAndMacToString)
{
    EXPECT_EQ(WordsToLong(0, 256), 256);
    EXPECT_EQ(WordsToLong(-1, -2), -2);
    EXPECT_EQ(WordsToLong(0x1234, -1), 305463295);
    const Bytes mac = {0x00, 0x0A, 0xFF, 0x01, 0xB2, 0x3C, 0x99};
    EXPECT_EQ(MacToString(mac, 0, 5), "00:0A:FF:01:B2:3C");
    EXPECT_EQ(MacToString(mac, 5, 5), "3C:99") << "stops at the end of the frame";
}

TEST(Ethernet, TypeTable)
{
    struct { std::uint8_t t0, t1, b14, b15; const char *code; const char *text; int last; } cases[] = {
        {0x08, 0x00, 0, 0, "2048", "[IPv4]", 13},
        {0x86, 0xDD, 0, 0, "-31011", "[IPv6]", 13},
        {0x08, 0x06, 0, 0, "2054", "[Arp]", 13},
        {0x88, 0xCC, 0, 0, "-30516", " Unknown ->TypeCode: 88CC", 13},
        {0x05, 0xDC, 0xF0, 0xF0, "1500", "[Ethernet IEEE 802.3] [NETBIOS LLC Encapsulation]", 21},
        {0x00, 0x40, 0xFF, 0xFF, "64", "[Ethernet IEEE 802.3] [IPX RAW 802.3 Encapsulation]", 21},
        {0x00, 0x40, 0xF0, 0xFF, "64", "[Ethernet IEEE 802.3]", 21},
        {0x05, 0xDD, 0, 0, "1501", " Unknown ->TypeCode: 5DD", 13},
    };
    for (auto c : cases) {
        clsEthernet e;
        e.Decode(frameWith({{12, c.t0}, {13, c.t1}, {14, c.b14}, {15, c.b15}}));
        EXPECT_EQ(e.TypeCode(), c.code);
        EXPECT_EQ(e.TypeCodeString(), c.text);
        EXPECT_EQ(e.LastByte(), c.last) << c.text;
    }
}

TEST(Ethernet, AddressesAndRedecoding)
{
    clsEthernet e;
    e.Decode(frameWith({{0, 0x00}, {1, 0x0A}, {2, 0xFF}, {3, 0x01}, {4, 0xB2}, {5, 0x3C}, {6, 0xAB}, {11, 0x01},
                        {12, 0x05}, {13, 0xDC}, {14, 0xF0}, {15, 0xF0}, {16, 0x03}}));
    EXPECT_EQ(e.DestinationMAC(), "00:0A:FF:01:B2:3C");
    EXPECT_EQ(e.SourceMAC(), "AB:00:00:00:00:01");
    EXPECT_EQ(e.LastByte(), 21);
    EXPECT_EQ(e.Control(), 3);
    e.Decode(frameWith({{12, 0x08}, {13, 0x00}}));
    EXPECT_EQ(e.LastByte(), 13);
    EXPECT_EQ(e.TypeCodeString(), "[IPv4]");
    EXPECT_EQ(e.DSAP(), 0xF0) << "LLC fields keep their values for Ethernet II";
}

TEST(Ip, FieldsFromFixedPositions)
{
    clsIP ip;
    ip.Decode(frameWith({{14, 0x46}, {16, 0x05}, {17, 0xDC}, {18, 0xAB}, {19, 0xCD}, {20, 0x20}, {21, 0xB9},
                         {22, 64}, {23, 47}, {24, 0x0A}, {25, 0x1B}, {26, 0xC0}, {27, 0xA8}, {28, 1}, {29, 2},
                         {30, 10}, {31, 0}, {32, 0}, {33, 1}}));
    EXPECT_EQ(ip.Ver(), 4);
    EXPECT_EQ(ip.IHL(), 6);
    EXPECT_EQ(ip.TotalLength(), 1500);
    EXPECT_EQ(ip.Identification(), -21555);
    EXPECT_EQ(ip.FragmentOffset(), 185);
    EXPECT_EQ(ip.TTL(), 64);
    EXPECT_EQ(ip.Protocol(), 47);
    EXPECT_EQ(ip.sProtocol(), "UNKNOWN");
    EXPECT_EQ(ip.HD_Cheksum(), "A1B");
    EXPECT_EQ(ip.SrcIP(), "192.168.1.2");
    EXPECT_EQ(ip.DestIP(), "10.0.0.1");
    EXPECT_EQ(ip.Options(), 0);

    ip.Decode(frameWith({{20, 0x40}, {21, 0x00}, {24, 0xB1}, {25, 0xE6}}));
    EXPECT_EQ(ip.FragmentOffset(), 0);
    EXPECT_EQ(ip.HD_Cheksum(), "B1E6");
    EXPECT_EQ(ip.sProtocol(), "TCP");
    for (auto [number, name] : {std::pair{1, "ICMP"}, {17, "UDP"}}) {
        ip.Decode(frameWith({{23, static_cast<std::uint8_t>(number)}}));
        EXPECT_EQ(ip.sProtocol(), name);
    }
}

TEST(Tcp, FieldsAndFlags)
{
    clsTCP tcp;
    tcp.Decode(frameWith({{34, 0xC3}, {35, 0x50}, {36, 0x00}, {37, 0x50}, {38, 0x12}, {39, 0x34}, {40, 0xFF},
                          {41, 0xFF}, {42, 0xFF}, {43, 0xFF}, {44, 0xFF}, {45, 0xFE}, {46, 0x80}, {47, 0x12},
                          {48, 0xFF}, {49, 0xFF}, {50, 0x9C}, {51, 0x1E}, {52, 0, }, {53, 7}}));
    EXPECT_EQ(tcp.srcPort(), "-15536");
    EXPECT_EQ(tcp.dstPort(), "80");
    EXPECT_EQ(tcp.seqNumber(), 305463295);
    EXPECT_EQ(tcp.ackNumber(), -2);
    EXPECT_EQ(tcp.HLEN(), 8);
    EXPECT_EQ(tcp.flagString(), "SYN;ACK;");
    EXPECT_EQ(tcp.window(), -1);
    EXPECT_EQ(tcp.HD_Checksum(), -25570);
    EXPECT_EQ(tcp.urgentPointer(), 7);
    EXPECT_EQ(tcp.OptPad() + tcp.Reserved() + tcp.dataOffset(), 0);

    struct { std::uint8_t flags; const char *text; } flagCases[] = {
        {0x10, "ACK;"}, {0x00, ""}, {0x3F, "FIN;SYN;RESET;PUSH;ACK;URGENT;"}, {0xC2, "SYN;"}};
    for (auto c : flagCases) {
        tcp.Decode(frameWith({{47, c.flags}}));
        EXPECT_EQ(tcp.flagString(), c.text);
        EXPECT_EQ(tcp.flags(), c.flags);
    }
    tcp.Decode(frameWith({{38, 0}, {39, 0}, {40, 1}, {41, 0}}));
    EXPECT_EQ(tcp.seqNumber(), 256);
}

// Short frames must never be read past their end; the decoders then keep
// what they had.
TEST(Decoders, ShortFramesKeepFields)
{
    const Bytes full = frameWith({{47, 0x10}, {37, 80}});
    clsEthernet e;
    clsIP ip;
    clsTCP tcp;
    e.Decode(full);
    ip.Decode(full);
    tcp.Decode(full);
    for (std::size_t n : {0u, 1u, 13u, 16u, 33u, 53u}) {
        const Bytes shortFrame(full.begin(), full.begin() + static_cast<long>(n));
        e.Decode(shortFrame);
        ip.Decode(shortFrame);
        tcp.Decode(shortFrame);
    }
    EXPECT_EQ(e.TypeCodeString(), "[IPv4]");
    EXPECT_EQ(ip.sProtocol(), "TCP");
    EXPECT_EQ(tcp.flagString(), "ACK;");
    Bytes llcTooShort = frameWith({{12, 0x00}, {13, 0x40}}, 16);
    e.Decode(llcTooShort);
    EXPECT_EQ(e.TypeCodeString(), "[IPv4]");
}

} // namespace
