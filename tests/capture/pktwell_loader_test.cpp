// The callers' view: libpktwell.so bound at run time.
#include "capture/pktwell_loader.h"
#include "decoding/frame_text.h"
#include "support/loopback.h"
#include "support/loopback_adapter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ctime>

namespace {

TEST(PktwellLoader, MissingLibraryFailsEachCallWithTheLoadersText)
{
    Pktwell library("/nonexistent/libpktwell.so");
    EXPECT_EQ(library.init(), -1);
    EXPECT_NE(library.errorDescription().find("/nonexistent/libpktwell.so"), std::string::npos)
        << library.errorDescription();
    EXPECT_EQ(library.begin(20), -1);
    EXPECT_EQ(library.end(), -1);
}

TEST(PktwellLoader, MissingExportFailsOnlyThatCall)
{
    // A real library that lacks the exports: libpcap itself.
    Pktwell library("libpcap.so.0.8");
    EXPECT_EQ(library.init(), -1);
    EXPECT_NE(library.errorDescription().find("PktwellInit"), std::string::npos) << library.errorDescription();
}

TEST(PktwellLoader, RequestOnLoopbackReachesFrameToText)
{
    Pktwell library;
    const int16_t lo = testsupport::loopbackAdapter(library);
    ASSERT_GE(lo, 0) << library.errorDescription();
    ASSERT_EQ(library.setCurrentAdapter(lo), 0);
    EXPECT_EQ(library.getCurrentAdapter(), lo);
    ASSERT_EQ(library.begin(20), 0) << library.errorDescription();

    testsupport::LoopbackListener server;
    const std::string requestLine = "GET /" + testsupport::uniqueToken() + ".flv HTTP/1.0";
    testsupport::sendTcp(server.port(), requestLine + "\r\nHost: 127.0.0.1\r\n\r\n");
    const std::time_t sent = std::time(nullptr);

    bool found = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!found && std::chrono::steady_clock::now() < deadline) {
        ByteArrayRef frame{};
        CaptureInfo info{};
        if (library.capture(&frame, &info) != 1)
            continue;
        const std::string text = FrameToText({frame.data, frame.count});
        if (text.find(requestLine) == std::string::npos)
            continue;
        found = true;
        EXPECT_EQ(info.CapturedLength, static_cast<int32_t>(frame.count));
        EXPECT_EQ(info.WireLength, info.CapturedLength);
        EXPECT_GE(info.Microseconds, 0);
        EXPECT_LT(info.Microseconds, 1000000);
        std::tm local{};
        localtime_r(&sent, &local);
        const int sentSeconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
        const int frameSeconds = info.Hour * 3600 + info.Minute * 60 + info.Second;
        EXPECT_LE(std::abs(frameSeconds - sentSeconds), 2);
    }
    EXPECT_TRUE(found) << "the request line never showed up in a captured frame";
    EXPECT_EQ(library.end(), 0);
    EXPECT_EQ(library.terminate(), 0);
}

} // namespace
