// The exports driven directly, with libpcap replaced at its boundary for what
// a test machine cannot make it do (no adapters, enumeration failing, read
// errors) and to script the frames.
#include "capture/pcap_api.h"
#include "capture/pktwell.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct ScriptedFrame {
    int result; // 1: deliver, 0: timeout, -1: error
    pcap_pkthdr header;
    Bytes data;
};

struct Fake {
    std::vector<std::string> names;
    std::vector<std::string> descriptions; // "" means none
    std::vector<pcap_if_t> entries;
    bool findFails = false;
    bool createFails = false;
    std::string openedDevice;
    int snapLength = 0, promiscuous = -1, bufferSize = 0, closes = 0, dumpCloses = 0;
    std::deque<ScriptedFrame> frames;
    Bytes current;
    pcap_pkthdr currentHeader{};
    Bytes sent;
    std::vector<std::pair<std::string, std::string>> notices;
};

Fake *fake = nullptr;

pktwell::PcapApi fakeApi()
{
    pktwell::PcapApi api = pktwell::realPcapApi();
    api.findalldevs = [](pcap_if_t **list, char *errbuf) {
        if (fake->findFails) {
            std::strcpy(errbuf, "libpcap says no");
            return -1;
        }
        fake->entries.assign(fake->names.size(), pcap_if_t{});
        for (std::size_t i = 0; i < fake->names.size(); ++i) {
            fake->entries[i].name = fake->names[i].data();
            fake->entries[i].description = fake->descriptions[i].empty() ? nullptr : fake->descriptions[i].data();
            fake->entries[i].next = i + 1 < fake->names.size() ? &fake->entries[i + 1] : nullptr;
        }
        *list = fake->entries.empty() ? nullptr : fake->entries.data();
        return 0;
    };
    api.freealldevs = [](pcap_if_t *) {};
    api.create = [](const char *device, char *) -> pcap_t * {
        if (fake->createFails)
            return nullptr;
        fake->openedDevice = device;
        return pcap_open_dead(DLT_EN10MB, 65536);
    };
    api.set_snaplen = [](pcap_t *, int n) { fake->snapLength = n; return 0; };
    api.set_promisc = [](pcap_t *, int p) { fake->promiscuous = p; return 0; };
    api.set_buffer_size = [](pcap_t *, int n) { fake->bufferSize = n; return 0; };
    api.activate = [](pcap_t *) { return 0; };
    api.setnonblock = [](pcap_t *, int, char *) { return 0; };
    api.get_selectable_fd = [](pcap_t *) { return -1; };
    api.next_ex = [](pcap_t *, pcap_pkthdr **h, const u_char **d) {
        if (fake->frames.empty())
            return 0;
        ScriptedFrame f = fake->frames.front();
        fake->frames.pop_front();
        if (f.result != 1)
            return f.result;
        fake->current = f.data;
        fake->currentHeader = f.header;
        *h = &fake->currentHeader;
        *d = fake->current.data();
        return 1;
    };
    api.close = [](pcap_t *p) { ++fake->closes; pcap_close(p); };
    api.dump_close = [](pcap_dumper_t *d) { ++fake->dumpCloses; pcap_dump_close(d); };
    api.sendpacket = [](pcap_t *, const u_char *d, int n) {
        fake->sent.assign(d, d + n);
        return n == 0 ? -1 : 0;
    };
    return api;
}

ScriptedFrame frameOf(Bytes data, long seconds = 3723, long micros = 123456)
{
    pcap_pkthdr h{};
    h.ts.tv_sec = seconds;
    h.ts.tv_usec = micros;
    h.caplen = static_cast<bpf_u_int32>(data.size());
    h.len = h.caplen + 10;
    return {1, h, std::move(data)};
}

ParamValue number(int32_t v)
{
    ParamValue p{};
    p.tag = PW_VT_I4;
    p.value.i4 = v;
    return p;
}

struct WideText {
    std::u16string chars;
    ParamValue value() const
    {
        ParamValue p{};
        p.tag = PW_VT_TEXT;
        p.value.text.chars = reinterpret_cast<const uint16_t *>(chars.data());
        p.value.text.length = static_cast<uint32_t>(chars.size());
        return p;
    }
};

WideText wide(const std::string &ascii)
{
    return {std::u16string(ascii.begin(), ascii.end())};
}

std::string errorText()
{
    char *text = pwGetErrorDescription();
    std::string s = text;
    uint32_t length = 0;
    std::memcpy(&length, text - sizeof length, sizeof length);
    EXPECT_EQ(length, s.size()) << "length prefix";
    pwFreeString(text);
    return s;
}

constexpr const char *kNotReady = "Adpater not ready for capture: Use PKTWELL.pwBegin first";
constexpr const char *kOutOfBounds = "Adapter ID out of BOUNDS: No adapter with such ID";

class PktwellSeam : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        fake = &state;
        pktwell::pcapApi() = fakeApi();
        pwSetNoticeCallback(
            [](const char *text, const char *caption, void *) { fake->notices.emplace_back(text, caption); },
            nullptr);
        pwEnd();
        PktwellTerminate();
        ParamValue defaults[] = {number(65536), number(1), number(8)};
        pwSetParam(0, &defaults[0]);
        pwSetParam(1, &defaults[1]);
        pwSetParam(8, &defaults[2]);
        state.notices.clear();
        state.names = {"eth0", "lo", "any"};
        state.descriptions = {"", "Loopback", "Pseudo-device"};
    }
    void TearDown() override
    {
        pwEnd();
        PktwellTerminate();
        pwSetNoticeCallback(nullptr, nullptr);
        pktwell::pcapApi() = pktwell::realPcapApi();
        fake = nullptr;
    }
    int32_t setParam(uint32_t code, ParamValue v) { return pwSetParam(code, &v); }

    Fake state;
};

TEST_F(PktwellSeam, NoAdapters)
{
    state.names.clear();
    state.descriptions.clear();
    EXPECT_EQ(PktwellInit(), 0);
    AdapterInfo info{};
    EXPECT_EQ(pwGetAdapterInfo(0, &info), -1);
    EXPECT_EQ(errorText(), kOutOfBounds);
    EXPECT_EQ(pwSetCurrentAdapter(0), -1);
    EXPECT_EQ(errorText(), kNotReady);
    EXPECT_EQ(pwBegin(20), -1) << "no adapter to open";
    EXPECT_TRUE(state.openedDevice.empty());
}

TEST_F(PktwellSeam, EnumerationFailureReplacesLibpcapText)
{
    state.findFails = true;
    EXPECT_EQ(PktwellInit(), -1);
    EXPECT_EQ(errorText(), "Invalid Operation in current state");
}

TEST_F(PktwellSeam, AdapterRecords)
{
    state.names[2] = std::string(300, 'n');
    ASSERT_EQ(PktwellInit(), 3);
    EXPECT_EQ(PktwellInit(), 3) << "a second init enumerates afresh";

    AdapterInfo info;
    std::memset(&info, 'x', sizeof info);
    ASSERT_EQ(pwGetAdapterInfo(1, &info), 0);
    EXPECT_STREQ(info.AdapterName, "lo");
    EXPECT_EQ(info.AdapterName[3], 'x') << "nothing is written after the zero";
    EXPECT_STREQ(info.Description, "Loopback");
    EXPECT_EQ(info.Reserved32, 0);
    EXPECT_EQ(info.reserved[0], 'x');

    ASSERT_EQ(pwGetAdapterInfo(0, &info), 0);
    EXPECT_STREQ(info.Description, "") << "an adapter without a description";
    ASSERT_EQ(pwGetAdapterInfo(2, &info), 0);
    EXPECT_EQ(std::string(info.AdapterName), std::string(254, 'n')) << "long names are cut to fit";

    AdapterInfo untouched;
    std::memset(&untouched, 'u', sizeof untouched);
    for (int16_t bad : {int16_t(-1), int16_t(3)}) {
        EXPECT_EQ(pwGetAdapterInfo(bad, &untouched), -1);
        EXPECT_EQ(errorText(), kOutOfBounds);
    }
    EXPECT_EQ(untouched.AdapterName[0], 'u');
    EXPECT_EQ(pwGetAdapterInfo(0, nullptr), -1);

    char *name = nullptr;
    char *description = nullptr;
    ASSERT_EQ(pwGetAdapterInfoStr2(1, &name, &description), 0);
    EXPECT_STREQ(name, "lo");
    EXPECT_STREQ(description, "Loopback");
    pwFreeString(name);
    pwFreeString(description);
    EXPECT_EQ(pwGetAdapterInfoStr2(7, &name, &description), -1);
}

TEST_F(PktwellSeam, SelectionAndBegin)
{
    ASSERT_EQ(PktwellInit(), 3);
    EXPECT_EQ(pwGetCurrentAdapter(), -1);
    ASSERT_EQ(pwBegin(20), 0);
    EXPECT_EQ(state.openedDevice, "eth0") << "the first adapter is opened by default";
    EXPECT_EQ(state.snapLength, 65536);
    EXPECT_EQ(state.promiscuous, 1);

    EXPECT_EQ(pwSetCurrentAdapter(1), 0) << "selection during a capture";
    EXPECT_EQ(pwGetCurrentAdapter(), 1);
    EXPECT_EQ(pwSetCurrentAdapter(1), 0);
    EXPECT_EQ(pwSetCurrentAdapter(3), -1);
    EXPECT_EQ(errorText(), kOutOfBounds);
    EXPECT_EQ(pwGetCurrentAdapter(), 1);

    EXPECT_EQ(pwBegin(20), -1) << "second begin";
    EXPECT_EQ(errorText(), kNotReady);
    state.frames.push_back(frameOf({1, 2, 3}));
    ByteArrayRef frame{};
    CaptureInfo info{};
    EXPECT_EQ(pwCapture(&frame, &info), 1) << "the first capture keeps delivering";
    EXPECT_EQ(state.openedDevice, "eth0");

    EXPECT_EQ(pwEnd(), 0);
    EXPECT_EQ(pwEnd(), 0);
    EXPECT_EQ(state.closes, 1);
    ASSERT_EQ(pwBegin(20), 0);
    EXPECT_EQ(state.openedDevice, "lo") << "the new selection takes effect at the next begin";
}

TEST_F(PktwellSeam, ErrorTextSurvivesSuccessfulCalls)
{
    ASSERT_EQ(PktwellInit(), 3);
    state.createFails = true;
    EXPECT_EQ(pwBegin(20), -1);
    EXPECT_EQ(errorText(), "Failed to open Device");
    state.createFails = false;
    ASSERT_EQ(pwBegin(20), 0);
    ASSERT_EQ(pwSetCurrentAdapter(2), 0);
    EXPECT_EQ(errorText(), "Failed to open Device");
}

TEST_F(PktwellSeam, CaptureNeedsAnOpenCapture)
{
    ASSERT_EQ(PktwellInit(), 3);
    ByteArrayRef frame{};
    CaptureInfo info{};
    state.frames.push_back(frameOf({1}));
    EXPECT_EQ(pwCapture(&frame, &info), -1);
    EXPECT_EQ(errorText(), kNotReady);
    EXPECT_EQ(pwCaptureMemSafe(&frame), -1);
    ASSERT_EQ(pwBegin(20), 0);
    pwEnd();
    EXPECT_EQ(pwCapture(&frame, &info), -1) << "after pwEnd";
    EXPECT_EQ(state.frames.size(), 1u) << "no frame was read";
}

TEST_F(PktwellSeam, MemoryModeDeliversAView)
{
    ASSERT_EQ(PktwellInit(), 3);
    ASSERT_EQ(pwBegin(20), 0);
    state.frames.push_back(frameOf({9, 8, 7, 6}, 3723, 654321));
    uint8_t own[4] = {};
    ByteArrayRef frame{own, 4, 0, 5};
    CaptureInfo info{};
    ASSERT_EQ(pwCapture(&frame, &info), 1);
    EXPECT_EQ(frame.data, state.current.data()) << "a view, not a copy";
    EXPECT_EQ(frame.count, 4u);
    EXPECT_EQ(frame.lockCount, 5);
    EXPECT_EQ(own[0], 0);
    EXPECT_EQ(info.CapturedLength, 4);
    EXPECT_EQ(info.WireLength, 14);
    EXPECT_EQ(info.Hour, 1);
    EXPECT_EQ(info.Minute, 2);
    EXPECT_EQ(info.Second, 3);
    EXPECT_EQ(info.Microseconds, 654321);
}

TEST_F(PktwellSeam, ReadTimeoutAndErrorsLeaveFrameAlone)
{
    ASSERT_EQ(PktwellInit(), 3);
    ASSERT_EQ(pwBegin(20), 0);
    ASSERT_EQ(pwSetParam(0, nullptr), -1);
    const std::string before = errorText();
    state.frames.push_back({-1, {}, {}});
    uint8_t own[2] = {};
    ByteArrayRef frame{own, 2, 0, 0};
    CaptureInfo info{7, 7, 7, 7, 7, 7};
    EXPECT_EQ(pwCapture(&frame, &info), -1);
    EXPECT_EQ(errorText(), before) << "libpcap read errors set no text";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(pwCapture(&frame, &info), 0) << "nothing arrives: the read timeout passes";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(frame.data, own);
    EXPECT_EQ(info.Hour, 7);
}

TEST_F(PktwellSeam, MemorySafeBoundary)
{
    ASSERT_EQ(PktwellInit(), 3);
    ASSERT_EQ(setParam(8, number(100)), 0);
    ASSERT_EQ(pwBegin(20), 0);
    const Bytes payload = {1, 2, 3, 4, 5};
    state.frames.push_back(frameOf(payload));
    state.frames.push_back(frameOf(payload));

    Bytes exact(5, 0xAA);
    ByteArrayRef frame{exact.data(), 5, 0, 0};
    CaptureInfo info{};
    EXPECT_EQ(pwCapture(&frame, &info), -1);
    EXPECT_EQ(errorText(), "Buffer to small");
    EXPECT_EQ(info.CapturedLength, 5) << "info is filled all the same";
    EXPECT_EQ(exact[0], 0xAA);

    Bytes roomy(6, 0xAA);
    frame = {roomy.data(), 6, 0, 2};
    ASSERT_EQ(pwCapture(&frame, &info), 1);
    EXPECT_EQ(Bytes(roomy.begin(), roomy.begin() + 5), payload);
    EXPECT_EQ(roomy[5], 0xAA);
    EXPECT_EQ(frame.data, roomy.data());
    EXPECT_EQ(frame.lockCount, 2);

    state.frames.push_back(frameOf(payload));
    ByteArrayRef broken{nullptr, 10, 0, 0};
    EXPECT_EQ(pwCapture(&broken, &info), -1);
    EXPECT_EQ(pwCaptureMemSafe(&broken), -1);
    EXPECT_FALSE(errorText().empty());
    EXPECT_EQ(pwCapture(nullptr, &info), -1);
    EXPECT_EQ(pwCapture(&frame, nullptr), -1);
    EXPECT_EQ(state.frames.size(), 1u) << "a bad descriptor consumes no frame";
    EXPECT_EQ(pwCaptureMemSafe(&frame), 1);
}

TEST_F(PktwellSeam, FixedWayExportsIgnoreTheMode)
{
    ASSERT_EQ(PktwellInit(), 3);
    ASSERT_EQ(setParam(8, number(100)), 0);
    ASSERT_EQ(pwBegin(20), 0);
    state.frames.push_back(frameOf({4, 5}));
    ByteArrayRef frame{};
    CaptureInfo info{};
    ASSERT_EQ(pwCaptureMem(&frame, &info), 1);
    EXPECT_EQ(frame.data, state.current.data());
    CaptureInfo diskInfo{};
    EXPECT_EQ(pwCaptureDiskSafe(&diskInfo), -1) << "no dump file after a memory-mode begin";
    EXPECT_EQ(errorText(), kNotReady);
}

struct ParamCase {
    uint32_t code;
    ParamValue value;
    int32_t result;
    std::vector<std::string> notices;
};

TEST_F(PktwellSeam, SetParamTable)
{
    ParamValue i2{};
    i2.tag = PW_VT_I2;
    i2.value.i2 = -1;
    ParamValue real{};
    real.tag = PW_VT_R8;
    real.value.r8 = 1;
    const WideText text1500 = wide("1500");
    const WideText empty = wide("");
    const std::vector<ParamCase> cases = {
        {0, number(65536), 0, {}},
        {0, number(65537), -1, {}},
        {0, number(0), -1, {}},
        {0, text1500.value(), -1, {}},
        {1, number(2), -1, {}},
        {1, number(0), 0, {}},
        {2, empty.value(), -1, {}},
        {2, number(5), -1, {}},
        {8, number(9), 0, {"MEMORY", "DISK"}},
        {8, number(101), 0, {"MEMORY SAFE", "DISK"}},
        {8, number(100), 0, {"MEMORY SAFE"}},
        {8, number(12), 0, {"MEMORY"}},
        {8, number(102), -1, {}},
        {8, number(0), 0, {}},
        {8, i2, -1, {}},
        {7, number(5), 0, {}},
        {static_cast<uint32_t>(-1), number(5), 0, {}},
        {9, text1500.value(), 0, {}},
        {7, real, -1, {}},
    };
    for (const ParamCase &c : cases) {
        state.notices.clear();
        EXPECT_EQ(pwSetParam(c.code, &c.value), c.result) << "code " << c.code;
        std::vector<std::string> shown;
        for (auto &[text, caption] : state.notices) {
            EXPECT_EQ(caption, "SET");
            shown.push_back(text);
        }
        EXPECT_EQ(shown, c.notices) << "code " << c.code;
    }
}

TEST_F(PktwellSeam, ParametersReachTheNextBegin)
{
    ASSERT_EQ(PktwellInit(), 3);
    ASSERT_EQ(setParam(0, number(1500)), 0);
    ASSERT_EQ(setParam(1, number(0)), 0);
    EXPECT_EQ(pwSetKernelBuffSize(1 << 20), -1) << "no adapter open";
    EXPECT_EQ(errorText(), kNotReady);
    ASSERT_EQ(pwBegin(20), 0);
    EXPECT_EQ(state.snapLength, 1500);
    EXPECT_EQ(state.promiscuous, 0);
    EXPECT_EQ(pwSetKernelBuffSize(0), -1);
    EXPECT_EQ(pwSetKernelBuffSize(4 << 20), 0);
    pwEnd();
    ASSERT_EQ(pwBegin(20), 0);
    EXPECT_EQ(state.bufferSize, 4 << 20);
}

TEST_F(PktwellSeam, DiskModeWritesACaptureFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("out.cap").toStdString();
    ASSERT_EQ(PktwellInit(), 3);
    const WideText name = wide(path);
    ASSERT_EQ(setParam(2, name.value()), 0);
    ASSERT_EQ(state.notices.size(), 1u);
    EXPECT_EQ(state.notices[0], std::make_pair(path, std::string("SET UP DUMP FILENAME")));
    ASSERT_EQ(setParam(8, number(1)), 0);
    ASSERT_EQ(pwBegin(20), 0);
    state.frames.push_back(frameOf({1, 2, 3}, 10, 5));
    state.frames.push_back(frameOf({4, 5, 6, 7}, 11, 6));
    uint8_t own[1] = {0x55};
    ByteArrayRef frame{own, 1, 0, 0};
    CaptureInfo info{};
    EXPECT_EQ(pwCapture(&frame, &info), 1);
    EXPECT_EQ(frame.data, own) << "the caller's array is untouched";
    EXPECT_EQ(own[0], 0x55);
    EXPECT_EQ(pwCaptureDiskSafe(&info), 1);
    EXPECT_EQ(info.CapturedLength, 4);
    pwEnd();
    EXPECT_EQ(state.dumpCloses, 1);

    char errbuf[PCAP_ERRBUF_SIZE];
    pcap_t *file = pcap_open_offline(path.c_str(), errbuf);
    ASSERT_NE(file, nullptr) << errbuf;
    pcap_pkthdr *h;
    const u_char *d;
    ASSERT_EQ(pcap_next_ex(file, &h, &d), 1);
    EXPECT_EQ(Bytes(d, d + h->caplen), (Bytes{1, 2, 3}));
    EXPECT_EQ(h->ts.tv_sec, 10);
    ASSERT_EQ(pcap_next_ex(file, &h, &d), 1);
    EXPECT_EQ(Bytes(d, d + h->caplen), (Bytes{4, 5, 6, 7}));
    EXPECT_EQ(pcap_next_ex(file, &h, &d), PCAP_ERROR_BREAK);
    pcap_close(file);
}

TEST_F(PktwellSeam, DumpFileThatCannotBeOpened)
{
    ASSERT_EQ(PktwellInit(), 3);
    const WideText name = wide("/nonexistent-folder/dump.cap");
    ASSERT_EQ(setParam(2, name.value()), 0);
    ASSERT_EQ(setParam(8, number(1)), 0);
    EXPECT_EQ(pwBegin(20), -1);
    EXPECT_EQ(errorText(), "Error opening DUMP File, use pwSetParam to set a different filename");
    EXPECT_EQ(state.closes, 0) << "the adapter stays open";
    EXPECT_EQ(pwEnd(), 0);
    EXPECT_EQ(state.closes, 1);

    const WideText tooLong = wide("/tmp/" + std::string(300, 'a'));
    EXPECT_EQ(setParam(2, tooLong.value()), -1);
    EXPECT_NE(errorText().find("too long"), std::string::npos);
}

TEST_F(PktwellSeam, SwitchingToDiskModeMidCapture)
{
    ASSERT_EQ(PktwellInit(), 3);
    ASSERT_EQ(pwBegin(20), 0);
    ASSERT_EQ(setParam(8, number(1)), 0);
    state.frames.push_back(frameOf({1}));
    ByteArrayRef frame{};
    CaptureInfo info{};
    EXPECT_EQ(pwCapture(&frame, &info), -1) << "no dump file is open for this capture";
    EXPECT_EQ(state.frames.size(), 1u);
}

TEST_F(PktwellSeam, SendPacket)
{
    ASSERT_EQ(PktwellInit(), 3);
    uint8_t bytes[] = {0xDE, 0xAD};
    ByteArrayRef frame{bytes, 2, 0, 0};
    EXPECT_EQ(pwSendPacket(&frame), -1) << "nothing open";
    ASSERT_EQ(pwBegin(20), 0);
    EXPECT_EQ(pwSendPacket(&frame), 0);
    EXPECT_EQ(state.sent, (Bytes{0xDE, 0xAD}));
    ByteArrayRef none{bytes, 0, 0, 0};
    EXPECT_EQ(pwSendPacket(&none), -1) << "libpcap's result is passed through";
    ByteArrayRef broken{nullptr, 4, 0, 0};
    EXPECT_EQ(pwSendPacket(&broken), -1);
}

} // namespace
