// Capture files as a frame source, through the real libpcap.
#include "capture/pktwell.h"
#include "support/capture_files.h"

#include <gtest/gtest.h>
#include <pcap/pcap.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::vector<Bytes> kFrames = {Bytes(60, 0x11), Bytes(1514, 0x22), Bytes{0x47, 0x45, 0x54}};

void writePcap(const QString &path)
{
    ASSERT_TRUE(testsupport::writeCaptureFile(path, kFrames));
}

// A minimal pcapng file: section header, one Ethernet interface, and one
// enhanced packet block per frame.
void writePcapng(const QString &path)
{
    QByteArray out;
    auto u32 = [&](uint32_t v) { out.append(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.append(reinterpret_cast<const char *>(&v), 2); };
    u32(0x0A0D0D0A); u32(28); u32(0x1A2B3C4D); u16(1); u16(0); u32(0xFFFFFFFF); u32(0xFFFFFFFF); u32(28);
    u32(1); u32(20); u16(1); u16(0); u32(65535); u32(20);
    for (const Bytes &f : kFrames) {
        const uint32_t padded = (static_cast<uint32_t>(f.size()) + 3) & ~3u;
        u32(6); u32(32 + padded); u32(0); u32(0); u32(1000000); u32(static_cast<uint32_t>(f.size()));
        u32(static_cast<uint32_t>(f.size()));
        out.append(reinterpret_cast<const char *>(f.data()), static_cast<qsizetype>(f.size()));
        out.append(QByteArray(static_cast<qsizetype>(padded - f.size()), '\0'));
        u32(32 + padded);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(out);
}

std::string errorText()
{
    char *text = pwGetErrorDescription();
    std::string s = text;
    pwFreeString(text);
    return s;
}

std::vector<Bytes> readAll(int32_t lastResult = PW_END_OF_FILE)
{
    std::vector<Bytes> frames;
    for (;;) {
        ByteArrayRef frame{};
        CaptureInfo info{};
        const int32_t r = pwCapture(&frame, &info);
        if (r != 1) {
            EXPECT_EQ(r, lastResult);
            break;
        }
        EXPECT_EQ(info.CapturedLength, static_cast<int32_t>(frame.count));
        frames.emplace_back(frame.data, frame.data + frame.count);
    }
    ByteArrayRef frame{};
    CaptureInfo info{};
    EXPECT_EQ(pwCapture(&frame, &info), PW_END_OF_FILE) << "the end is reported again";
    return frames;
}

class CaptureFile : public testing::Test {
protected:
    void SetUp() override { pwEnd(); }
    void TearDown() override { pwEnd(); }
    QTemporaryDir dir;
};

TEST_F(CaptureFile, DeliversEveryFrameOfPcapAndPcapng)
{
    for (bool ng : {false, true}) {
        const QString path = dir.filePath(ng ? "a.pcapng" : "a.pcap");
        ng ? writePcapng(path) : writePcap(path);
        ASSERT_EQ(pwOpenCaptureFile(path.toLocal8Bit().constData()), 0) << errorText();
        EXPECT_EQ(pwBegin(20), -1) << "a file capture is open";
        EXPECT_EQ(readAll(), kFrames) << (ng ? "pcapng" : "pcap");
        EXPECT_EQ(pwEnd(), 0);
    }
}

TEST_F(CaptureFile, FileCutInsideARecordEndsCleanly)
{
    const QString path = dir.filePath("cut.pcap");
    writePcap(path);
    QFile file(path);
    ASSERT_TRUE(file.resize(24 + 16 + 60 + 16 + 700));
    ASSERT_EQ(pwOpenCaptureFile(path.toLocal8Bit().constData()), 0);
    EXPECT_EQ(readAll(-1), std::vector<Bytes>{kFrames[0]});
    EXPECT_NE(errorText().find("ends early"), std::string::npos) << errorText();
}

TEST_F(CaptureFile, UnreadableFilesFailWithLibpcapsReason)
{
    QFile(dir.filePath("empty")).open(QIODevice::WriteOnly);
    QFile junk(dir.filePath("junk"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a capture file, only words and more words");
    junk.close();
    QDir(dir.path()).mkdir("folder");
    writePcap(dir.filePath("short.pcap"));
    QFile(dir.filePath("short.pcap")).resize(10);

    for (const char *name : {"empty", "junk", "folder", "short.pcap", "missing"}) {
        ASSERT_EQ(pwSetCurrentAdapter(0), -1); // sets a text of ours first
        EXPECT_EQ(pwOpenCaptureFile(dir.filePath(name).toLocal8Bit().constData()), -1) << name;
        const std::string why = errorText();
        EXPECT_FALSE(why.empty()) << name;
        EXPECT_EQ(why.find("Adpater"), std::string::npos) << name << ": libpcap's reason, got " << why;
        ByteArrayRef frame{};
        CaptureInfo info{};
        EXPECT_EQ(pwCapture(&frame, &info), -1) << "nothing is open after a failed open";
    }
}

} // namespace
