// The download window, offscreen, with its dialogs answered by the test and
// real servers on 127.0.0.1.
#include "controls/button.h"
#include "controls/tray_icon.h"
#include "downloads/frmdownload.h"
#include "platform/file_dialogs.h"
#include "platform/message_box.h"
#include "support/scripted_server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

using clipsnare::frmdownload;
using testsupport::ScriptedServer;
using testsupport::Step;

QByteArray readFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class DownloadWindow : public testing::Test {
protected:
    void SetUp() override
    {
        MessageBox::setAnswerer([this](const MessageBox::Request &r) {
            boxes.push_back(r);
            return answer;
        });
        FileDialogs::setAnswerer([this](const FileDialogs::Settings &s) {
            dialogs.push_back(s);
            return savePath;
        });
        savePath = dir.filePath("video.flv");
    }
    void TearDown() override
    {
        MessageBox::setAnswerer({});
        FileDialogs::setAnswerer({});
    }

    // A window for `url`, shown and started, as the found-link window does.
    std::unique_ptr<frmdownload> start(const QByteArray &url, bool mp3 = false)
    {
        auto window = std::make_unique<frmdownload>();
        window->IsMp3 = mp3;
        window->txt_Url->setText(QString::fromLatin1(url));
        window->show();
        window->cmd_Download_Click();
        return window;
    }

    std::vector<MessageBox::Request> boxes;
    std::vector<FileDialogs::Settings> dialogs;
    MessageBox::Answer answer = MessageBox::Answer::Yes;
    QTemporaryDir dir;
    QString savePath;
};

TEST_F(DownloadWindow, SaveDialogSettingsFollowTheKindOfLink)
{
    struct { bool mp3; const char *title, *filter, *pattern, *file; } cases[] = {
        {false, "Download Video To : ", "FLV Files (*.flv)", "*.flv", "clip.flv"},
        {true, "Download MP3 To : ", "MP3 Files (*.mp3)", "*.mp3", "clip.mp3"},
    };
    for (const auto &c : cases) {
        dialogs.clear();
        QFile::remove(dir.filePath(c.file));
        savePath = dir.filePath("clip"); // typed without an extension
        ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nbytes")}});
        auto window = start(server.url("/a"), c.mp3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 10000)) << "closes when done";
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].title, c.title);
        EXPECT_EQ(dialogs[0].filterDescription, c.filter);
        EXPECT_EQ(dialogs[0].filterPattern, c.pattern);
        EXPECT_TRUE(dialogs[0].initialFolder.endsWith('/'));
        EXPECT_EQ(readFile(dir.filePath(c.file)), "bytes");
        EXPECT_EQ(window->StatusBar1->text(), "Status: Download Done, PCLD");
        EXPECT_EQ(window->Text1->text(), QString::fromLatin1(server.url("/a")));
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(DownloadWindow, CancelledSaveDialogClosesTheWindow)
{
    savePath.clear();
    ScriptedServer server;
    auto window = start(server.url("/a"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error: Save Cancelled By User !");
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_EQ(boxes[0].icon, MessageBox::Icon::Exclamation);
    EXPECT_FALSE(window->isVisible());
    QTest::qWait(50);
    EXPECT_TRUE(server.requests.isEmpty());
}

TEST_F(DownloadWindow, ExistingFileIsReplacedWithoutAQuestion)
{
    QFile old(savePath);
    old.open(QIODevice::WriteOnly);
    old.write("an older and longer file");
    old.close();
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\n\r\nnew")}});
    auto window = start(server.url("/a"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 10000));
    EXPECT_EQ(readFile(savePath), "new");
    EXPECT_TRUE(boxes.empty());
}

// Deleting fails for real when the chosen name is a folder with something in
// it (as root, a read-only file would simply be deleted).
TEST_F(DownloadWindow, FileThatCannotBeDeletedStopsAfterTenTries)
{
    QDir().mkpath(savePath + "/inside");
    ScriptedServer server;
    auto window = start(server.url("/a"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error: Unable to overwrite the File");
    EXPECT_EQ(boxes[0].title, "Error");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFileInfo(savePath).isDir());
}

TEST_F(DownloadWindow, CancelAsksAndDeletesThePartialFile)
{
    ScriptedServer server({{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789"), Step::stall()}});
    auto window = start(server.url("/a"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->client().bytesReceived() == 10; }, 10000));

    answer = MessageBox::Answer::No;
    window->cmd_Abort->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Are sure want to cancel current download ?");
    EXPECT_EQ(boxes[0].title, "Abort ?");
    EXPECT_EQ(boxes[0].icon, MessageBox::Icon::Question);
    EXPECT_EQ(boxes[0].buttons, MessageBox::Buttons::YesNo);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QFileInfo::exists(savePath));

    answer = MessageBox::Answer::Yes;
    window->cmd_Abort->click();
    EXPECT_EQ(window->StatusBar1->text(), "Status: Cancelled");
    EXPECT_FALSE(QFileInfo::exists(savePath));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DownloadWindow, HideToTrayAndBack)
{
    // About 1.5 s of body in pieces, so that the display refreshes.
    testsupport::Script script{Step::send("HTTP/1.0 200 OK\r\nContent-Length: 1600\r\n\r\n")};
    for (int i = 0; i < 16; ++i) {
        script.push_back(Step::send(QByteArray(100, 'x')));
        script.push_back(Step::pause(100));
    }
    ScriptedServer server({script});
    auto window = start(server.url("/a"));
    window->Command2->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->TrayIcon1->isCreated());
    EXPECT_EQ(window->TrayIcon1->tooltip(), "Downloading Progress...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->TrayIcon1->tooltip().startsWith("Progress : "); }, 5000));

    window->TrayIcon1_MouseMessage(TrayIcon::kRightButtonUp);
    const TrayIcon::Balloon &b = window->TrayIcon1->lastBalloon();
    EXPECT_EQ(b.title, "Downloading...");
    EXPECT_EQ(b.icon, TrayIcon::BalloonIcon::Information);
    EXPECT_EQ(b.milliseconds, 5000);
    const QStringList lines = b.text.split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].startsWith("Download Progress : ") && lines[0].endsWith(" %"));
    EXPECT_EQ(lines[1], "Time Left : " + window->lbl_Remain->text());
    EXPECT_EQ(lines[2], "Speed : " + window->lbl_Speed->text());
    EXPECT_EQ(lines[3], "Downloaded : " + window->lbl_Loaded->text());
    EXPECT_EQ(lines[4], "Double Click Tray Icon To Show The Window");

    window->TrayIcon1_MouseMessage(TrayIcon::kLeftButtonUp);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->TrayIcon1->isCreated());

    window->Command2->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->client().outcome() == DownloadOutcome::Done; }, 10000));
    EXPECT_FALSE(window->TrayIcon1->isCreated()) << "the tray icon goes with the window";
    EXPECT_EQ(readFile(savePath), QByteArray(1600, 'x'));
}

TEST_F(DownloadWindow, UnknownLengthShowsTheByteCount)
{
    testsupport::Script script{Step::send("HTTP/1.0 200 OK\r\n\r\n")};
    for (int i = 0; i < 14; ++i) {
        script.push_back(Step::send(QByteArray(10, 'y')));
        script.push_back(Step::pause(100));
    }
    script.push_back(Step::stall());
    ScriptedServer server({script});
    auto window = start(server.url("/a"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Label1->text().endsWith(" Bytes"); }, 5000));
    EXPECT_FALSE(window->Label1->isHidden());
    EXPECT_TRUE(window->lbl_Loaded->isHidden());
    EXPECT_TRUE(window->lbl_Done->isHidden());
    EXPECT_EQ(window->PB->value(), 0);
}

TEST_F(DownloadWindow, FailuresKeepTheWindowOpen)
{
    auto invalid = start("https://127.0.0.1/x");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Error: The entered URL is not valid");
    EXPECT_TRUE(invalid->isVisible());
    EXPECT_TRUE(QFileInfo::exists(savePath));
    EXPECT_EQ(QFileInfo(savePath).size(), 0);
    invalid->close();

    ScriptedServer missing({{Step::send("HTTP/1.0 404 Not Found\r\n\r\n")}});
    auto notFound = start(missing.url("/gone"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notFound->client().outcome() == DownloadOutcome::Failed; }, 10000));
    EXPECT_EQ(notFound->StatusBar1->text(), "Error: File not found");
    EXPECT_TRUE(notFound->isVisible());
    EXPECT_TRUE(QFileInfo::exists(savePath));
    EXPECT_EQ(notFound->PB->value(), 100);
}

} // namespace
