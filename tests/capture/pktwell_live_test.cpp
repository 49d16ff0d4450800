// Live capture on the loopback adapter through the real libpcap (tests run as
// root).
#include "capture/pktwell.h"
#include "support/loopback.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <QTemporaryDir>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int16_t loopbackIndex()
{
    const int32_t count = PktwellInit();
    for (int16_t i = 0; i < count; ++i) {
        AdapterInfo info{};
        if (pwGetAdapterInfo(i, &info) == 0 && std::strcmp(info.AdapterName, "lo") == 0)
            return i;
    }
    return -1;
}

std::string errorText()
{
    char *text = pwGetErrorDescription();
    std::string s = text;
    pwFreeString(text);
    return s;
}

ParamValue number(int32_t v)
{
    ParamValue p{};
    p.tag = PW_VT_I4;
    p.value.i4 = v;
    return p;
}

int32_t setParam(uint32_t code, int32_t v)
{
    const ParamValue p = number(v);
    return pwSetParam(code, &p);
}

class LiveLoopback : public testing::Test {
protected:
    void SetUp() override
    {
        pwSetNoticeCallback([](const char *, const char *, void *) {}, nullptr);
        pwEnd();
        setParam(0, 65536);
        setParam(1, 1);
        setParam(8, 8);
        lo = loopbackIndex();
        ASSERT_GE(lo, 0) << "no loopback adapter";
        ASSERT_EQ(pwSetCurrentAdapter(lo), 0);
    }
    void TearDown() override
    {
        pwEnd();
        PktwellTerminate();
    }

    // Sends a datagram now and then until `accept` takes a captured frame.
    template <class Accept> bool captureUntil(ByteArrayRef &frame, CaptureInfo &info, Accept accept)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        int round = 0;
        while (Clock::now() < deadline) {
            if (round++ % 10 == 0)
                testsupport::sendUdp(9, std::string(200, 'p'));
            const int32_t r = pwCapture(&frame, &info);
            if (accept(r))
                return true;
        }
        return false;
    }

    int16_t lo = -1;
};

TEST_F(LiveLoopback, SecondBeginFailsWhileTheFirstKeepsDelivering)
{
    ASSERT_EQ(pwBegin(20), 0) << errorText();
    EXPECT_EQ(pwBegin(20), -1);
    EXPECT_EQ(errorText(), "Adpater not ready for capture: Use PKTWELL.pwBegin first");
    ByteArrayRef frame{};
    CaptureInfo info{};
    ASSERT_TRUE(captureUntil(frame, info, [](int32_t r) { return r == 1; }));
    EXPECT_EQ(info.CapturedLength, static_cast<int32_t>(frame.count));
    EXPECT_GE(info.WireLength, info.CapturedLength);
}

TEST_F(LiveLoopback, MemorySafeBoundaryOnRealFrames)
{
    // A snap length of 100 makes every datagram frame exactly 100 bytes.
    ASSERT_EQ(setParam(0, 100), 0);
    ASSERT_EQ(setParam(8, 100), 0);
    ASSERT_EQ(pwBegin(20), 0) << errorText();
    std::vector<uint8_t> exact(100, 0xA5);
    ByteArrayRef frame{exact.data(), 100, 0, 0};
    CaptureInfo info{};
    ASSERT_TRUE(captureUntil(frame, info, [&](int32_t r) { return r == -1; }));
    EXPECT_EQ(errorText(), "Buffer to small");
    EXPECT_EQ(info.CapturedLength, 100);

    std::vector<uint8_t> roomy(101, 0xA5);
    frame = {roomy.data(), 101, 0, 0};
    ASSERT_TRUE(captureUntil(frame, info, [&](int32_t r) { return r == 1 && info.CapturedLength == 100; }));
    EXPECT_EQ(roomy[100], 0xA5) << "elements past the frame keep their values";
    EXPECT_EQ(frame.data, roomy.data()) << "copied, not re-pointed";
    EXPECT_EQ(roomy[12], 0x08);
    EXPECT_EQ(roomy[13], 0x00);
}

TEST_F(LiveLoopback, DiskModeFileReadsBackWithTheSameFrames)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("live.cap").toStdString();
    const std::u16string wideName(path.begin(), path.end());
    ParamValue name{};
    name.tag = PW_VT_TEXT;
    name.value.text.chars = reinterpret_cast<const uint16_t *>(wideName.data());
    name.value.text.length = static_cast<uint32_t>(wideName.size());
    ASSERT_EQ(pwSetParam(2, &name), 0);
    ASSERT_EQ(setParam(8, 1), 0);
    ASSERT_EQ(pwBegin(20), 0) << errorText();
    std::vector<CaptureInfo> seen;
    ByteArrayRef frame{};
    CaptureInfo info{};
    while (seen.size() < 5) {
        ASSERT_TRUE(captureUntil(frame, info, [](int32_t r) { return r == 1; }));
        seen.push_back(info);
    }
    EXPECT_EQ(frame.data, nullptr);
    pwEnd();

    char errbuf[PCAP_ERRBUF_SIZE];
    pcap_t *file = pcap_open_offline(path.c_str(), errbuf);
    ASSERT_NE(file, nullptr) << errbuf;
    EXPECT_EQ(pcap_datalink(file), DLT_EN10MB);
    pcap_pkthdr *h;
    const u_char *d;
    for (const CaptureInfo &expected : seen) {
        ASSERT_EQ(pcap_next_ex(file, &h, &d), 1);
        EXPECT_EQ(static_cast<int32_t>(h->caplen), expected.CapturedLength);
        EXPECT_EQ(static_cast<int32_t>(h->len), expected.WireLength);
        EXPECT_EQ(static_cast<int32_t>(h->ts.tv_usec), expected.Microseconds);
    }
    EXPECT_EQ(pcap_next_ex(file, &h, &d), PCAP_ERROR_BREAK);
    pcap_close(file);
}

// On Linux a blocking read may never return once traffic stops; on a quiet
// adapter the capture call must still come back after about the read timeout.
// A private network namespace gives a loopback adapter nobody else uses.
TEST(LiveQuietAdapter, CaptureReturnsAfterTheReadTimeout)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(10);
        const int s = socket(AF_INET, SOCK_DGRAM, 0);
        ifreq ifr{};
        std::strcpy(ifr.ifr_name, "lo");
        ifr.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
        ioctl(s, SIOCSIFFLAGS, &ifr);
        pwSetNoticeCallback([](const char *, const char *, void *) {}, nullptr);
        setParam(0, 65536);
        setParam(8, 8);
        const int16_t lo = loopbackIndex();
        if (lo < 0 || pwSetCurrentAdapter(lo) != 0 || pwBegin(20) != 0)
            _exit(11);
        ByteArrayRef frame{};
        CaptureInfo info{};
        for (int i = 0; i < 5; ++i) {
            const auto start = Clock::now();
            if (pwCapture(&frame, &info) != 0)
                _exit(12);
            if (Clock::now() - start > std::chrono::seconds(2))
                _exit(13);
        }
        pwEnd();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no namespace, 11: cannot open lo, 12: not a timeout, 13: hung";
}

} // namespace
