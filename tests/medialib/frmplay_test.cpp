#include "medialib/embedded_player.h"
#include "medialib/frmplay.h"
#include "platform/twips.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QTest>

namespace {

using clipsnare::frmplay;

const QString kClip = CLIPSNARE_FIXTURES "/clip.flv";

TEST(QuickPlay, NoticeUntilLoadedAndOneInstance)
{
    frmplay *window = frmplay::open("http://update.invalid/player/flvplayer.swf?file=/nonexistent.flv");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Quick Play");
    EXPECT_TRUE(window->isVisible());
    QTest::qWait(800);
    EXPECT_FALSE(window->Picture1->isHidden()) << "a movie that never loads keeps the notice";

    // A second opening replaces the movie in the same window.
    frmplay *again = frmplay::open("http://update.invalid/player/flvplayer.swf?file=" + kClip);
    EXPECT_EQ(again, window);
    EXPECT_EQ(window->WebBrowser1->movie(), "http://update.invalid/player/flvplayer.swf?file=" + kClip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Picture1->isHidden(); }, 10000));

    window->close(); // unloads
    ASSERT_TRUE(QTest::qWaitFor([&] { return frmplay::current() == nullptr; }, 2000));
    frmplay *fresh = frmplay::open("/nonexistent.flv");
    EXPECT_FALSE(fresh->Picture1->isHidden()) << "the next opening starts in the loading state";
    fresh->close();
}

TEST(QuickPlay, PlayerFollowsTheWindowSize)
{
    frmplay *window = frmplay::open("/nonexistent.flv");
    window->resize(700, 500);
    QTest::qWait(50);
    EXPECT_EQ(window->WebBrowser1->width(), 700 - twipsToPixels(100));
    EXPECT_EQ(window->WebBrowser1->height(), 500 - twipsToPixels(500));
    EXPECT_EQ(window->Picture1->x(), 700 / 2 - window->Picture1->width() / 2);
    EXPECT_EQ(window->Picture1->y(), 500 / 2 - window->Picture1->height() / 2);
    window->close();
}

} // namespace
