// End to end in one process: the monitor capturing on lo, with the
// found-link windows as its registry, a plain client's request, the probe and
// a download through "Download".
#include "controls/button.h"
#include "downloads/found_link_windows.h"
#include "downloads/frmdownload.h"
#include "monitor/capture_loop.h"
#include "monitor/link_monitor.h"
#include "platform/file_dialogs.h"
#include "platform/message_box.h"
#include "support/loopback.h"
#include "support/loopback_adapter.h"
#include "support/scripted_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>


namespace {

using namespace clipsnare;
using testsupport::ScriptedServer;
using testsupport::Step;
using testsupport::waitUntil;

TEST(FoundLinksLive, CapturedLinkOpensAWindowThatProbesAndDownloads)
{
    QTemporaryDir dir;
    const QString saveAs = dir.filePath("saved.flv");
    FileDialogs::setAnswerer([&](const FileDialogs::Settings &) { return saveAs; });
    std::vector<QString> boxes;
    MessageBox::setAnswerer([&](const MessageBox::Request &r) {
        boxes.push_back(r.text);
        return MessageBox::Answer::Ok;
    });

    QByteArray body(300000, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i % 251);
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                                       + "\r\n\r\n" + body)}});

    Pktwell library;
    const int16_t lo = testsupport::loopbackAdapter(library);
    ASSERT_GE(lo, 0) << library.errorDescription();
    library.setCurrentAdapter(lo);

    const DeploymentConfig config = DeploymentConfig::builtIn();
    const RuleTable rules(sitePatternsFrom(config));
    StoredSwitches switches;
    DownloadWindows downloads;
    FoundLinkWindows registry(downloads, config);
    LinkMonitor monitor(rules, switches, registry);
    CaptureLoop loop(library, config.updateHostName());
    QThread worker;
    loop.moveToThread(&worker);
    QObject::connect(&loop, &CaptureLoop::requestTexts, &monitor, &LinkMonitor::processRequestTexts);
    QObject::connect(&worker, &QThread::started, &loop, &CaptureLoop::capture);
    worker.start();
    ASSERT_TRUE(waitUntil([&] { return loop.CaptureRunning.load(); }, 5000));

    const std::string path = "/e2e-" + testsupport::uniqueToken() + ".flv";
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\nAccept: */*\r\n\r\n";
    const QString link = QString::fromStdString("http://" + host + path);

    // Other tests may make traffic on lo meanwhile: only this link's windows count.
    auto windowsFor = [&] {
        QList<QPointer<Form1>> mine;
        for (const QPointer<Form1> &w : registry.FoundLinks)
            if (w && w->dlink->text() == link)
                mine << w;
        return mine;
    };
    testsupport::sendTcp(server.port(), request);
    ASSERT_TRUE(waitUntil([&] { return windowsFor().size() == 1; }, 10000));
    QPointer<Form1> window = windowsFor()[0];
    ASSERT_TRUE(window);
    EXPECT_EQ(window->sitename->text(), "Forced Mode !");
    EXPECT_EQ(window->dlink->text(), link);

    ASSERT_TRUE(waitUntil([&] { return window && window->Button1->isEnabled(); }, 10000));
    EXPECT_EQ(window->Label5->text(), "292.969KB");

    // The same link while its window is open: no second window.
    testsupport::sendTcp(server.port(), request);
    waitUntil([] { return false; }, 1000);
    EXPECT_EQ(windowsFor().size(), 1);

    window->Label1->click();
    ASSERT_EQ(downloads.DownloadWindowCount, 1);
    frmdownload *download = downloads.windows[0].get();
    ASSERT_TRUE(waitUntil([&] { return download->client().outcome() != DownloadOutcome::Running; }, 15000));
    EXPECT_EQ(download->client().outcome(), DownloadOutcome::Done) << download->client().view().status.toStdString();
    QFile saved(saveAs);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), body);
    ASSERT_TRUE(waitUntil([&] { return window.isNull(); }, 2000));

    // Its window closed, the link opens a new one.
    testsupport::sendTcp(server.port(), request);
    ASSERT_TRUE(waitUntil([&] { return windowsFor().size() == 1; }, 10000));
    EXPECT_TRUE(boxes.empty());

    loop.stop();
    worker.quit();
    worker.wait();
    EXPECT_TRUE(loop.CaptureStopped.load());
    library.terminate();
    for (const auto &w : registry.FoundLinks)
        if (w)
            w->close();
    FileDialogs::setAnswerer({});
    MessageBox::setAnswerer({});
}

} // namespace
