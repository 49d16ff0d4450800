// The found-link window, offscreen, with loopback servers and answered seams.
#include "controls/button.h"
#include "downloads/form1.h"
#include "downloads/found_link_windows.h"
#include "downloads/frmdownload.h"
#include "medialib/embedded_player.h"
#include "medialib/frmplay.h"
#include "platform/file_dialogs.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/twips.h"
#include "support/scripted_server.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

using namespace clipsnare;
using testsupport::ScriptedServer;
using testsupport::Step;

DeploymentConfig testConfig()
{
    DeploymentConfig c = DeploymentConfig::builtIn();
    c.updateHost = "update.invalid";
    c.youtubeSiteName = "tubesite";
    return c;
}

class FoundLinkWindow : public testing::Test {
protected:
    void SetUp() override
    {
        MessageBox::setAnswerer([this](const MessageBox::Request &r) {
            boxes.push_back(r);
            return MessageBox::Answer::Ok;
        });
        FileDialogs::setAnswerer([](const FileDialogs::Settings &) { return QString(); });
        Shell::setOpenHandler([this](const QString &a) {
            opened << a;
            return true;
        });
    }
    void TearDown() override
    {
        MessageBox::setAnswerer({});
        FileDialogs::setAnswerer({});
        Shell::setOpenHandler({});
        if (frmplay::current())
            frmplay::current()->close();
        EXPECT_TRUE(QTest::qWaitFor([] { return frmplay::current() == nullptr; }, 2000));
    }

    // A window as the monitor hands it over.
    QPointer<Form1> offer(const QString &link, bool mp3 = false, const QByteArray &replay = {})
    {
        LinkOffer o{"Forced Mode !", link.toStdString(), 255, mp3, std::nullopt};
        if (!replay.isEmpty())
            o.replay = replay.toStdString();
        registry.open(o);
        return registry.FoundLinks.last();
    }

    DownloadWindows downloads;
    FoundLinkWindows registry{downloads, testConfig()};
    std::vector<MessageBox::Request> boxes;
    QStringList opened;
};

TEST(Form1Static, PlacementAboveABottomTaskbar)
{
    const QSize w(215, 103);
    const int m = twipsToPixels(10);
    EXPECT_EQ(Form1::placement({0, 0, 1920, 1080}, {0, 0, 1920, 1040}, w), QPoint(1920 - 215 - m, 1080 - 103 - 40 - m));
    EXPECT_EQ(Form1::placement({0, 0, 1920, 1080}, {0, 40, 1920, 1040}, w), QPoint(1920 - 215 - m, 1080 - 103 - m))
        << "a taskbar at the top: the window sits at the bottom";
    EXPECT_EQ(Form1::placement({0, 0, 800, 600}, {0, 0, 800, 600}, w), QPoint(800 - 215 - m, 600 - 103 - m));
}

TEST(Form1Static, SizeText)
{
    struct { qint64 bytes; const char *text; } cases[] = {
        {1536000, "1500KB"}, {1234567, "1205.632KB"}, {0, "0KB"}, {512, "0.5KB"}, {64, "0.062KB"}, {192, "0.188KB"},
    };
    for (auto c : cases)
        EXPECT_EQ(Form1::sizeText(c.bytes), c.text) << c.bytes;
}

TEST_F(FoundLinkWindow, HandOverFillsTheWindow)
{
    QPointer<Form1> w = offer("http://127.0.0.1:9/a.flv", true, "GET /a.flv HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(w);
    EXPECT_EQ(registry.FoundLinkCount, 1);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "FLV Link Found");
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->sitename->text(), "Forced Mode !");
    EXPECT_EQ(w->sitename->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(w->dlink->text(), "http://127.0.0.1:9/a.flv");
    EXPECT_TRUE(w->ReplayRequest);
    EXPECT_EQ(w->CapturedRequest, "GET /a.flv HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(w->IsMp3);
    EXPECT_EQ(w->Label6->text(), "10");
    EXPECT_FALSE(w->Button1->isEnabled());
    EXPECT_TRUE(w->Timer2->isActive());
    EXPECT_TRUE(registry.isOpen("http://127.0.0.1:9/a.flv"));
    EXPECT_FALSE(registry.isOpen("http://127.0.0.1:9/A.flv"));
    w->close();
    EXPECT_FALSE(registry.isOpen("http://127.0.0.1:9/a.flv")) << "a closed window no longer counts";
    EXPECT_EQ(registry.FoundLinks.size(), 1) << "but stays in the list";
}

TEST_F(FoundLinkWindow, ProbeShowsTheSizeFromALoopbackServer)
{
    struct { QByteArray header; const char *text; } cases[] = {
        {"Content-Length: 1536000\r\n", "1500KB"},
        {"Content-Length: 1234567\r\n", "1205.632KB"},
        {"Content-Length: abc\r\n", "0KB"},
        {"", "0KB"},
    };
    for (const auto &c : cases) {
        ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\n" + c.header + "\r\n"), Step::stall()}});
        const QString link = QString::fromLatin1(server.url("/v.flv"));
        QPointer<Form1> w = offer(link);
        w->Timer2->setInterval(10);
        w->Timer2->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w && w->Button1->isEnabled(); }, 10000)) << c.text;
        EXPECT_EQ(w->Label5->text(), c.text);
        EXPECT_EQ(w->ProbedUrl, link);
        EXPECT_TRUE(w->Timer3->isActive()) << "the countdown runs from the probe on";
        ASSERT_EQ(server.requests.size(), 1);
        EXPECT_TRUE(server.requests[0].contains("\r\nDemon: Quillbox#id52840\r\n"));
        w->close();
    }
}

TEST_F(FoundLinkWindow, ProbeThatGetsNoAnswerGivesUp)
{
    Form1::probeTimeoutMs = 500;
    ScriptedServer silent({{Step::stall()}});
    QPointer<Form1> w = offer(QString::fromLatin1(silent.url("/v.flv")));
    w->Timer2->setInterval(10);
    w->Timer2->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w && w->Button1->isEnabled(); }, 5000));
    EXPECT_EQ(w->Label5->text(), "0KB");
    Form1::probeTimeoutMs = 10000;
    w->close();
}

TEST_F(FoundLinkWindow, CountdownSlidesAwayAndCloses)
{
    QPointer<Form1> w = offer("http://127.0.0.1:9/a.flv");
    for (QTimer *t : {w->Timer2, w->Timer3})
        t->setInterval(5);
    w->Timer2->start();
    const int startY = w->y();
    QStringList seen;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        if (w && (seen.isEmpty() || seen.last() != w->Label6->text()))
            seen << w->Label6->text();
        return !w || w->Timer4->isActive();
    }, 10000));
    EXPECT_EQ(seen.last(), "0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w || w->y() > startY; }, 2000)) << "it slides down";
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 20000)) << "and closes below the screen";
}

TEST_F(FoundLinkWindow, ClicksHoldTheWindow)
{
    for (int i = 0; i < 5; ++i) {
        QPointer<Form1> w = offer("http://127.0.0.1:9/hold" + QString::number(i) + ".flv");
        w->Timer2->setInterval(5);
        w->Timer3->setInterval(5);
        w->Timer2->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->Timer3->isActive(); }, 5000));
        QWidget *target[] = {w->sitename, w->Label3, w->Label4, w->Label5, w->Image1};
        QTest::mouseClick(target[i], Qt::LeftButton);
        EXPECT_FALSE(w->Timer3->isActive()) << i;
        EXPECT_TRUE(w->Label6->isHidden()) << i;
        QTest::qWait(200);
        ASSERT_TRUE(w) << "held";
        EXPECT_FALSE(w->Timer4->isActive());
        w->Command1->click();
        EXPECT_TRUE(w->Timer4->isActive()) << "the close button slides it away";
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 20000));
    }
}

TEST_F(FoundLinkWindow, PlayAddsPlayFlvOnlyWhereTheRuleSays)
{
    struct { const char *link; bool mp3; const char *played; } cases[] = {
        {"http://h.example/v.flv?x=1", false, "http://h.example/v.flv?x=1"},
        {"http://h.example/get?id=3", false, "http://h.example/get?id=3play.flv"},
        {"http://cache.tubesite.example/get?id=3", false, "http://cache.tubesite.example/get?id=3"},
        {"http://h.example/song", true, "http://h.example/song"},
    };
    for (const auto &c : cases) {
        QPointer<Form1> w = offer(c.link, c.mp3);
        w->ProbedUrl = c.link;
        w->Button1->setEnabled(true);
        w->Button1->click();
        ASSERT_NE(frmplay::current(), nullptr);
        EXPECT_EQ(w->ProbedUrl, c.played);
        EXPECT_EQ(frmplay::current()->WebBrowser1->movie(),
                  QString("http://update.invalid/player/flvplayer.swf?file=") + c.played);
        w->Button1->click();
        EXPECT_EQ(w->ProbedUrl, c.played) << "a second Play appends nothing more";
        EXPECT_TRUE(w->isVisible()) << "the window stays";
        w->close();
    }
}

TEST_F(FoundLinkWindow, OnlyWebAddressesLeaveTheProgram)
{
    QPointer<Form1> web = offer("http://h.example/v.flv");
    web->Label2->click();
    EXPECT_EQ(opened, QStringList{"http://h.example/v.flv"});
    EXPECT_TRUE(web->isVisible());
    web->close();

    QPointer<Form1> shaped = offer("file:///etc/passwd?http://h/v.flv");
    shaped->Label2->click();
    shaped->ProbedUrl = shaped->dlink->text();
    shaped->Button1->setEnabled(true);
    shaped->Button1->click();
    EXPECT_EQ(opened.size(), 1) << "nothing but http(s) goes to the desktop";
    EXPECT_EQ(frmplay::current(), nullptr) << "nor to the player";
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].text.contains("http://"));
    shaped->close();
}

TEST_F(FoundLinkWindow, DownloadHandsOverToANewDownloadWindow)
{
    struct { QByteArray captured; bool replay; QByteArray handed; } cases[] = {
        {"GET /v.flv HTTP/1.1\r\nHost: h\r\n\r\n", true, "GET /v.flv HTTP/1.1\r\nHost: h\r\n\r\n"},
        {"", false, ""},
    };
    int count = 0;
    for (const auto &c : cases) {
        QPointer<Form1> w = offer("http://127.0.0.1:9/v.mp3", true);
        w->ReplayRequest = true; // set even without a captured request
        w->CapturedRequest = c.captured;
        w->Label1->click();
        ASSERT_EQ(downloads.DownloadWindowCount, ++count);
        frmdownload *d = downloads.windows.back().get();
        EXPECT_EQ(d->ReplayRequest, c.replay);
        EXPECT_EQ(d->CapturedRequest, c.handed);
        EXPECT_TRUE(d->IsMp3);
        EXPECT_EQ(d->txt_Url->text(), "http://127.0.0.1:9/v.mp3");
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000)) << "the found-link window closes";
    }
    EXPECT_EQ(boxes.back().text, "Error: Save Cancelled By User !") << "the download window asked for a file";
}

TEST_F(FoundLinkWindow, ManyLinksInOneSecond)
{
    for (int i = 0; i < 40; ++i)
        offer("http://127.0.0.1:9/burst" + QString::number(i) + ".flv");
    EXPECT_EQ(registry.FoundLinkCount, 40);
    int open = 0;
    for (const auto &w : registry.FoundLinks)
        open += w && w->isVisible();
    EXPECT_EQ(open, 40);
    EXPECT_EQ(registry.FoundLinks.first()->pos(), registry.FoundLinks.last()->pos()) << "one over the other";
    for (const auto &w : registry.FoundLinks)
        if (w)
            w->close();
}

} // namespace
