// The downloader against real servers on 127.0.0.1.
#include "downloads/download_client.h"
#include "support/scripted_server.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

using testsupport::ScriptedServer;
using testsupport::Script;
using testsupport::Step;

struct Outcome {
    DownloadOutcome outcome = DownloadOutcome::Running;
    QString status;
    QByteArray file;
    QStringList messages;
    DownloadView view;
    qint64 contentLength = 0;
    bool started = false;
};

// Runs one download to its end (or 10 s) and reads back the file.
Outcome download(const QByteArray &url, std::function<void(DownloadClient &)> setUp = {})
{
    QTemporaryDir dir;
    QFile file(dir.filePath("out.bin"));
    file.open(QIODevice::ReadWrite | QIODevice::Truncate);
    DownloadClient client;
    if (setUp)
        setUp(client);
    Outcome o;
    QObject::connect(&client, &DownloadClient::message, [&](const QString &m) { o.messages << m; });
    QEventLoop loop;
    QObject::connect(&client, &DownloadClient::ended, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    o.started = client.start(QString::fromLatin1(url), &file);
    if (o.started)
        loop.exec();
    o.outcome = client.outcome();
    o.status = client.view().status;
    o.view = client.view();
    o.contentLength = client.contentLength();
    if (file.isOpen())
        file.close();
    QFile readBack(dir.filePath("out.bin"));
    readBack.open(QIODevice::ReadOnly);
    o.file = readBack.readAll();
    return o;
}

QByteArray binaryBody(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return b;
}

const QString kDone = "Status: Download Done, PCLD";

TEST(DownloadClient, BuiltRequestCarriesTheMarkerAndNoPort)
{
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\n\r\nx")}});
    const Outcome o = download(server.url("/v/a.flv?id=7&x=y"));
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_EQ(server.requests[0], "GET /v/a.flv?id=7&x=y HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n"
                                  "Accept-Encoding: binary\r\nDemon: Quillbox#id52840\r\nConnection: close\r\n\r\n\r\n");
    EXPECT_EQ(o.status, kDone);
}

TEST(DownloadClient, ReplayedRequestReachesTheServerUnchanged)
{
    const QByteArray captured = "GET /watch/v.flv HTTP/1.1\r\nHost: 127.0.0.1\r\nCookie: s=1\r\nUser-Agent: B\r\n\r\n";
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\n\r\nbody")}});
    // The redirect must name the server's own port, known only now.
    ScriptedServer real({
        {Step::send("HTTP/1.1 302 Found\r\nLocation: " + server.url("/next") + "\r\n\r\n")},
    });
    const Outcome o = download(real.url("/ignored"), [&](DownloadClient &c) { c.setReplay(captured); });
    ASSERT_EQ(real.requests.size(), 1);
    EXPECT_EQ(real.requests[0], captured + "\r\n\r\n\r\n");
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(server.requests[0].startsWith("GET /next HTTP/1.0\r\n")) << "a redirect sends a built request";
    EXPECT_TRUE(server.requests[0].contains("Demon: Quillbox#id52840"));
    EXPECT_EQ(o.file, "body");
}

struct BodyCase {
    const char *why;
    Script script;
    QByteArray file;
    QString status;
    qint64 contentLength;
};

TEST(DownloadClient, BodiesArriveByteForByte)
{
    const QByteArray big = binaryBody(300000);
    const std::vector<BodyCase> cases = {
        {"length known, body in the header read",
         {Step::send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n0123456789")}, "0123456789", kDone, 10},
        {"no length, body in many pieces",
         {Step::send("HTTP/1.0 200 OK\r\nServer: t\r\n\r\n"), Step::pause(20), Step::send(big.left(100000)),
          Step::pause(20), Step::send(big.mid(100000, 100000)), Step::pause(20), Step::send(big.mid(200000))},
         big, kDone, -1},
        {"header split over reads",
         {Step::send("HT"), Step::pause(30), Step::send("TP/1.0 200 OK\r\nContent-Le"), Step::pause(30),
          Step::send("ngth: 5\r\n\r"), Step::pause(30), Step::send("\nhello")},
         "hello", kDone, 5},
        {"a body read that begins with HTTP",
         {Step::send("HTTP/1.0 200 OK\r\nContent-Length: 24\r\n\r\n"), Step::pause(30),
          Step::send("HTTP is part of the body")},
         "HTTP is part of the body", kDone, 24},
        {"lower-case content-length",
         {Step::send("HTTP/1.0 200 OK\r\ncontent-length: 3\r\n\r\nabc")}, "abc", kDone, 3},
        {"not a number as the length", {Step::send("HTTP/1.0 200 OK\r\nContent-Length: abc\r\n\r\nxyz")}, "xyz", kDone, 0},
        {"longer body than announced", {Step::send("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nlonger")}, "longer", kDone, 2},
        {"no status line: all of it is body", {Step::send(QByteArray("garbage\x00\xff bytes", 15))}, QByteArray("garbage\x00\xff bytes", 15), kDone, 0},
        {"header and no body", {Step::send("HTTP/1.0 200 OK\r\n\r\n")}, "", kDone, -1},
    };
    for (const BodyCase &c : cases) {
        ScriptedServer server({c.script});
        const Outcome o = download(server.url("/f"));
        EXPECT_EQ(o.file, c.file) << c.why;
        EXPECT_EQ(o.status, c.status) << c.why;
        EXPECT_EQ(o.contentLength, c.contentLength) << c.why;
        EXPECT_EQ(o.outcome, DownloadOutcome::Done) << c.why;
    }
}

TEST(DownloadClient, FailuresShowAStatusAndKeepTheBytes)
{
    const std::vector<BodyCase> cases = {
        {"404", {Step::send("HTTP/1.0 404 Not Found\r\n\r\nsorry")}, "", "Error: File not found", 0},
        {"500", {Step::send("HTTP/1.0 500 Internal Server Error\r\n\r\n")}, "", "Error: Unknown Status (500 Internal)", 0},
        {"no code", {Step::send("HTTP\r\n\r\n")}, "", "Error: Unknown Status ( )", 0},
        {"early close",
         {Step::send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n"), Step::send(QByteArray(40, 'a')), Step::close()},
         QByteArray(40, 'a'), "Error: Connection closed early, 40 of 100 bytes received", 100},
        {"closed inside the header", {Step::send("HTTP/1.0 200 OK\r\nContent-"), Step::close()}, "",
         "Error: Connection closed inside the response header", 0},
        {"huge header", {Step::send("HTTP/1.0 200 OK\r\nX: " + QByteArray(70000, 'x')), Step::stall()}, "",
         "Error: Response header too large", 0},
    };
    for (const BodyCase &c : cases) {
        ScriptedServer server({c.script});
        const Outcome o = download(server.url("/f"));
        EXPECT_EQ(o.status, c.status) << c.why;
        EXPECT_EQ(o.file, c.file) << c.why;
        EXPECT_EQ(o.outcome, DownloadOutcome::Failed) << c.why;
    }
}

TEST(DownloadClient, RedirectChains)
{
    ScriptedServer last({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\ndone")}});
    ScriptedServer second({{Step::send("HTTP/1.1 303 See Other\r\nLocation: " + last.url("/final.flv") + "\r\n\r\n")}});
    // Lower-case "location:" as the last header line.
    ScriptedServer first({{Step::send("HTTP/1.1 302 Found\r\nServer: t\r\nlocation: " + second.url("/two") + "\r\n\r\n")}});
    const Outcome o = download(first.url("/one"));
    EXPECT_EQ(o.file, "done");
    EXPECT_EQ(o.status, kDone);
    EXPECT_EQ(o.view.address, QString::fromLatin1(last.url("/final.flv")));
    ASSERT_EQ(last.requests.size(), 1);
    EXPECT_TRUE(last.requests[0].startsWith("GET /final.flv HTTP/1.0\r\nHost: 127.0.0.1\r\n"));
}

TEST(DownloadClient, BadRedirects)
{
    ScriptedServer https({{Step::send("HTTP/1.1 302 Found\r\nLocation: https://127.0.0.1/x\r\n\r\n"), Step::stall()}});
    const Outcome toHttps = download(https.url("/a"));
    EXPECT_EQ(toHttps.messages, QStringList{"Error: The new Location URL is not valid."});
    EXPECT_EQ(toHttps.outcome, DownloadOutcome::Failed);

    ScriptedServer relative({{Step::send("HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n")}});
    const Outcome toRelative = download(relative.url("/a"));
    EXPECT_TRUE(toRelative.status.startsWith("Error: Cannot connect to :80")) << toRelative.status.toStdString();
}

TEST(DownloadClient, EndlessRedirectsStop)
{
    // Two servers that send the client to each other for ever.
    ScriptedServer a, b;
    a.setScripts({{Step::send("HTTP/1.0 302 Found\r\nLocation: " + b.url("/b") + "\r\n\r\n")}});
    b.setScripts({{Step::send("HTTP/1.0 302 Found\r\nLocation: " + a.url("/a") + "\r\n\r\n")}});
    const Outcome o = download(a.url("/a"));
    EXPECT_EQ(o.status, "Error: Too many redirections (more than 20)");
    EXPECT_EQ(a.requests.size() + b.requests.size(), 21);
}

TEST(DownloadClient, ConnectionsThatFail)
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const QByteArray port = QByteArray::number(closed.serverPort());
    closed.close();
    const Outcome refused = download("http://127.0.0.1:" + port + "/x");
    EXPECT_EQ(refused.status, "Error: Cannot connect to 127.0.0.1:" + port + " (Connection refused)");
    EXPECT_EQ(refused.outcome, DownloadOutcome::Failed);

    const Outcome unknown = download("http://no-such-host.invalid/x");
    EXPECT_TRUE(unknown.status.startsWith("Error: Cannot connect to no-such-host.invalid:80 (")) << unknown.status.toStdString();

    ScriptedServer silent({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nabc"), Step::stall()}});
    const Outcome stalled = download(silent.url("/x"), [](DownloadClient &c) { c.setIdleTimeout(300); });
    EXPECT_EQ(stalled.status, "Error: No data from the server for 0.3 seconds");
    EXPECT_EQ(stalled.file, "abc");

    const Outcome invalid = download("https://127.0.0.1/x");
    EXPECT_FALSE(invalid.started);
    EXPECT_EQ(invalid.messages, QStringList{"Error: The entered URL is not valid"});
    EXPECT_EQ(invalid.status, "Status : None");
}

TEST(DownloadClient, SiteHostIsReplacedOnlyAtTheStart)
{
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\n\r\nv")}});
    const QByteArray url = "http://www.Video.Site.example:" + QByteArray::number(server.port()) + "/watch";
    const Outcome o = download(url, [](DownloadClient &c) { c.setSiteHosts("video.site.example", "127.0.0.1"); });
    EXPECT_EQ(o.file, "v");
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_TRUE(server.requests[0].contains("\r\nHost: 127.0.0.1\r\n"));
}

TEST(DownloadClient, FinishedTransferShowsFinalTexts)
{
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 1536\r\n\r\n" + QByteArray(1536, 'z'))}});
    const Outcome o = download(server.url("/f"));
    EXPECT_EQ(o.view.loaded, "1.5 KB / 1.5 KB");
    EXPECT_EQ(o.view.speed, "0 B/s");
    EXPECT_EQ(o.view.remaining, "00:00:00");
    EXPECT_EQ(o.view.done, "100%");
    EXPECT_EQ(o.view.progress, 100.0f);
    EXPECT_TRUE(o.view.header.startsWith("HTTP/1.0 200 OK"));
}

} // namespace
