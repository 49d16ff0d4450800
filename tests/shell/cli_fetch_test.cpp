#include "support/scripted_server.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

namespace {

using testsupport::ScriptedServer;
using testsupport::Step;

const QString kCli = CLIPSNARE_BIN_DIR "/clipsnare-cli";

struct Fetch {
    int exitCode = -1;
    QString out, err;
    QByteArray file;
};

// Runs the command while this process's event loop serves the scripted servers.
Fetch fetch(const QStringList &arguments, const QString &output)
{
    QProcess cli;
    QEventLoop loop;
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    cli.start(kCli, QStringList{"fetch"} + arguments);
    loop.exec();
    Fetch f;
    f.exitCode = cli.state() == QProcess::NotRunning && cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    cli.kill();
    f.out = QString::fromLocal8Bit(cli.readAllStandardOutput());
    f.err = QString::fromLocal8Bit(cli.readAllStandardError());
    QFile file(output);
    if (file.open(QIODevice::ReadOnly))
        f.file = file.readAll();
    return f;
}

TEST(CliFetch, DownloadsByteForByteAndPrintsEachStatus)
{
    QByteArray body(200000, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i * 7);
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" + body.left(1000)),
                            Step::pause(20), Step::send(body.mid(1000))}});
    QTemporaryDir dir;
    const QString out = dir.filePath("clip.flv");
    const Fetch f = fetch({QString::fromLatin1(server.url("/clip.flv")), "-o", out}, out);
    EXPECT_EQ(f.exitCode, 0) << f.err.toStdString();
    EXPECT_EQ(f.file, body);
    EXPECT_EQ(f.out, "Status: Connected\nStatus: Download Done, PCLD\n");
}

TEST(CliFetch, FailuresExitWithOneAndTheStatus)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("x");
    ScriptedServer missing({{Step::send("HTTP/1.0 404 Not Found\r\n\r\n")}});
    const Fetch notFound = fetch({QString::fromLatin1(missing.url("/x")), "-o", out}, out);
    EXPECT_EQ(notFound.exitCode, 1);
    EXPECT_TRUE(notFound.err.contains("Error: File not found"));

    ScriptedServer early({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc"), Step::close()}});
    const Fetch cut = fetch({QString::fromLatin1(early.url("/x")), "-o", out}, out);
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.err.contains("3 of 10 bytes")) << cut.err.toStdString();
    EXPECT_EQ(cut.file, "abc");

    ScriptedServer silent({{Step::send("HTTP/1.0 200 OK\r\n\r\nab"), Step::stall()}});
    const Fetch stalled = fetch({QString::fromLatin1(silent.url("/x")), "-o", out, "--timeout", "1"}, out);
    EXPECT_EQ(stalled.exitCode, 1);
    EXPECT_TRUE(stalled.err.contains("Error: No data from the server for 1 seconds")) << stalled.err.toStdString();

    const Fetch invalid = fetch({"https://127.0.0.1/x", "-o", out}, out);
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_TRUE(invalid.err.contains("Error: The entered URL is not valid"));
}

TEST(CliFetch, ReplaysTheCapturedRequest)
{
    QTemporaryDir dir;
    const QByteArray captured = "GET /watch?v=1 HTTP/1.1\r\nHost: 127.0.0.1\r\nCookie: c=d\r\n\r\n";
    QFile request(dir.filePath("request.txt"));
    request.open(QIODevice::WriteOnly);
    request.write(captured);
    request.close();
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\n\r\nok")}});
    const QString out = dir.filePath("o");
    const Fetch f = fetch({QString::fromLatin1(server.url("/watch?v=1")), "-o", out, "--replay", request.fileName()}, out);
    EXPECT_EQ(f.exitCode, 0);
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_EQ(server.requests[0], captured + "\r\n\r\n\r\n");
}

TEST(CliFetch, UsageErrors)
{
    for (const QStringList &args : {QStringList{}, QStringList{"http://h/x"}, QStringList{"http://h/x", "-o"},
                                    QStringList{"http://h/x", "-o", "f", "--timeout", "0"},
                                    QStringList{"a", "b", "-o", "f"}}) {
        const Fetch f = fetch(args, "");
        EXPECT_EQ(f.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(f.err.contains("usage"));
    }
}

} // namespace
