#include "shell/settings_store.h"
#include "support/capture_files.h"
#include "support/loopback.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

namespace {

using testsupport::tcpFrame;

const QString kCli = CLIPSNARE_BIN_DIR "/clipsnare-cli";

std::string request(const std::string &host, const std::string &target, const std::string &headers = "")
{
    return "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n" + headers + "\r\n";
}

struct CliRun {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

CliRun runCli(const QStringList &arguments)
{
    QProcess cli;
    cli.start(kCli, arguments);
    CliRun run;
    if (!cli.waitForFinished(30000))
        return run;
    run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.lines = QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.errors = QString::fromLocal8Bit(cli.readAllStandardError());
    return run;
}

class ScanFile : public testing::Test {
protected:
    void SetUp() override
    {
        deployment = dir.filePath("deployment.ini");
        QFile f(deployment);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Servers]\nUpdateHost=update.example\n[Sites]\nRule5=.spacecdn.example\n");
        f.close();

        std::vector<testsupport::Bytes> frames = {
            tcpFrame(request("x.spacecdn.example", "/m/1.flv")),
            tcpFrame(request("127.0.0.1", "/clip.flv")),
            tcpFrame("garbage \xC0 \xEC\x00 GE"),
            tcpFrame(request("127.0.0.1", "/clip.flv")), // the same link again
            tcpFrame(request("127.0.0.1", "/own.flv", "Demon: Quillbox#id52840\r\n")),
            tcpFrame(request("update.example", "/new.flv")),
            tcpFrame(request("127.0.0.1", "/song.mp3")),
            tcpFrame(std::string(65000, 'G') + request("127.0.0.1", "/big.flv")),
            testsupport::Bytes(20, 0x47),
        };
        capture = dir.filePath("browse.pcap");
        ASSERT_TRUE(testsupport::writeCaptureFile(capture, frames));
    }

    QTemporaryDir dir;
    QString deployment;
    QString capture;
};

TEST_F(ScanFile, PrintsEachNewLinkInOrder)
{
    const CliRun run = runCli({"scan", "-r", capture, "--deployment", deployment});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.lines, (QStringList{
                             "MY Space FLV\thttp://x.spacecdn.example/m/1.flv",
                             "Forced Mode !\thttp://127.0.0.1/clip.flv",
                             "MP3 Stream\thttp://127.0.0.1/song.mp3",
                             "Forced Mode !\thttp://127.0.0.1/big.flv",
                         }));
}

TEST_F(ScanFile, JsonLines)
{
    const CliRun run = runCli({"scan", "-r", capture, "--deployment", deployment, "--json"});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 4);
    EXPECT_EQ(run.lines[0], R"({"label":"MY Space FLV","link":"http://x.spacecdn.example/m/1.flv","colour":0,"mp3":false,"replay":false})");
    EXPECT_EQ(run.lines[2], R"({"label":"MP3 Stream","link":"http://127.0.0.1/song.mp3","colour":65280,"mp3":true,"replay":false})");
}

TEST_F(ScanFile, FollowsTheStoredSwitches)
{
    WriteSetting("Vexlund Clipsnare Alpha", "Settings", "MP3 Stream", "0");
    WriteSetting("Vexlund Clipsnare Alpha", "Settings", "Use Force", "2");
    const CliRun run = runCli({"scan", "-r", capture, "--deployment", deployment});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"MY Space FLV\thttp://x.spacecdn.example/m/1.flv"});
}

TEST_F(ScanFile, BadDeploymentFileFallsBackWithAWarning)
{
    const CliRun run = runCli({"scan", "-r", capture, "--deployment", dir.filePath("missing.ini")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains("warning")) << run.errors.toStdString();
    // Built-in values: no spacecdn site rule (the forced rule takes that link)
    // and another update host (the update.example request is reported).
    EXPECT_EQ(run.lines.size(), 5);
    EXPECT_EQ(run.lines.value(0), "Forced Mode !\thttp://x.spacecdn.example/m/1.flv");
}

TEST_F(ScanFile, UnreadableCaptureFails)
{
    const CliRun missing = runCli({"scan", "-r", dir.filePath("nothing.pcap")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.errors.trimmed().isEmpty());

    QFile::resize(capture, 24 + 16 + 30);
    const CliRun cut = runCli({"scan", "-r", capture, "--deployment", deployment});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.errors.contains("ends early")) << cut.errors.toStdString();
}

TEST(ScanUsage, ErrorsExitWithTwo)
{
    for (const QStringList &args : {QStringList{"scan", "-r"}, QStringList{"scan", "--bogus"},
                                    QStringList{"scan", "-r", "a", "-i", "lo"}}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.errors.contains("usage"));
    }
    const CliRun unknownAdapter = runCli({"scan", "-i", "no-such-adapter"});
    EXPECT_EQ(unknownAdapter.exitCode, 1);
}

// Live on lo: requests from a plain client to a server on 127.0.0.1.
void scanLoopback(const QStringList &adapterArguments)
{
    testsupport::LoopbackListener server;
    const std::string host = "127.0.0.1:" + std::to_string(server.port());
    const std::string token = testsupport::uniqueToken();
    QProcess cli;
    cli.start(kCli, QStringList{"scan", "--stats"} + adapterArguments);
    ASSERT_TRUE(cli.waitForStarted());

    QStringList lines;
    auto readLines = [&](int waitMs) {
        cli.waitForReadyRead(waitMs);
        while (cli.canReadLine())
            lines << QString::fromUtf8(cli.readLine()).trimmed();
    };
    // Probe until the scanner reports, so that it surely captures.
    QElapsedTimer clock;
    clock.start();
    const QString probe = QString::fromStdString("/probe-" + token);
    for (int n = 0; !lines.join('\n').contains(probe) && clock.elapsed() < 15000; ++n) {
        testsupport::sendTcp(server.port(), request(host, "/probe-" + token + "-" + std::to_string(n) + ".flv"));
        readLines(200);
    }
    ASSERT_TRUE(lines.join('\n').contains(probe)) << cli.readAllStandardError().toStdString();

    testsupport::sendTcp(server.port(), request(host, "/" + token + "-a.flv"));
    testsupport::sendTcp(server.port(), request(host, "/" + token + "-own.flv", "Demon: Quillbox#id52840\r\n"));
    testsupport::sendTcp(server.port(), request(host, "/" + token + "-b.mp3"));
    // Other tests may make traffic on lo at the same time: only this test's
    // links count.
    auto found = [&] {
        QStringList mine;
        for (const QString &l : lines)
            if (l.contains(QString::fromStdString(token)) && !l.contains("probe"))
                mine << l;
        return mine;
    };
    while (found().size() < 2 && clock.elapsed() < 30000)
        readLines(200);
    readLines(300);

    const QString base = QString::fromStdString("http://" + host + "/" + token);
    EXPECT_EQ(found(), (QStringList{"Forced Mode !\t" + base + "-a.flv", "MP3 Stream\t" + base + "-b.mp3"}));

    ::kill(static_cast<pid_t>(cli.processId()), SIGTERM);
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0);
    // The counters are printed; whether other tests' traffic made the kernel
    // drop frames is not this test's business (the live benchmark checks 0).
    EXPECT_TRUE(QString::fromLocal8Bit(cli.readAllStandardError())
                    .contains(QRegularExpression("received \\d+ frames, dropped \\d+ \\(kernel\\)")));
}

TEST(ScanLive, ReportsRequestsOnLoopbackAndStopsOnSigterm)
{
    scanLoopback({"-i", "lo"});
}

TEST(ScanLive, StoredDefaultAdapterIsOneBased)
{
    QProcess list;
    list.start(kCli, {"adapters"});
    ASSERT_TRUE(list.waitForFinished(20000));
    int lo = -1;
    for (const QString &line : QString::fromLocal8Bit(list.readAllStandardOutput()).split('\n'))
        if (line.section('\t', 1, 1) == "lo")
            lo = line.section('\t', 0, 0).toInt();
    ASSERT_GE(lo, 0);
    WriteSetting("VXL", "Adapter", "Default", QString::number(lo + 1));
    scanLoopback({});
}

} // namespace
