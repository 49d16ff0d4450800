// Play from a found-link window into the Quick Play window on a real display,
// saving a screenshot. Runs only when CLIPSNARE_SCREENSHOT names the file,
// for example under Xvfb (one line):
//   xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb CLIPSNARE_SCREENSHOT=/tmp/quickplay.png
//   build/bin/quickplay_screenshot_test
#include "controls/button.h"
#include "downloads/found_link_windows.h"
#include "medialib/embedded_player.h"
#include "medialib/frmplay.h"
#include "support/scripted_server.h"
#include "support/wait.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>

namespace {

using namespace clipsnare;

TEST(QuickPlayScreenshot, PlayShowsTheVideo)
{
    const QString target = qEnvironmentVariable("CLIPSNARE_SCREENSHOT");
    if (target.isEmpty() || QGuiApplication::platformName() == "offscreen")
        GTEST_SKIP() << "needs a display and CLIPSNARE_SCREENSHOT";

    QFile clip(CLIPSNARE_FIXTURES "/clip.flv");
    ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
    const QByteArray bytes = clip.readAll();
    testsupport::ScriptedServer server({{testsupport::Step::send(
        "HTTP/1.0 200 OK\r\nContent-Type: video/x-flv\r\nContent-Length: " + QByteArray::number(bytes.size())
        + "\r\n\r\n" + bytes)}});

    DownloadWindows downloads;
    FoundLinkWindows registry(downloads, DeploymentConfig::builtIn());
    registry.open({"Forced Mode !", server.url("/clip.flv").toStdString(), 255, false, std::nullopt});
    QPointer<Form1> window = registry.FoundLinks[0];
    ASSERT_TRUE(testsupport::waitUntil([&] { return window && window->Button1->isEnabled(); }, 10000));
    window->Button1->click();
    frmplay *player = frmplay::current();
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return player->WebBrowser1->position() > 1.0; }, 15000));
    EXPECT_TRUE(player->Picture1->isHidden());
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    ASSERT_TRUE(shot.save(target));
    player->close();
}

} // namespace
