// The embedded player for real, over libmpv without picture or sound.
#include "medialib/embedded_player.h"
#include "medialib/movie_address.h"
#include "support/scripted_server.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kClip = CLIPSNARE_FIXTURES "/clip.flv";

TEST(MovieAddress, FileParameterOrTheAddressItself)
{
    struct { const char *address, *media; } cases[] = {
        {"/tmp/a.flv", "/tmp/a.flv"},
        {"http://h/player/flvplayer.swf?file=http://v/a.flv", "http://v/a.flv"},
        {"http://h/p.swf?file=http://v/get?id=1&x=2", "http://v/get?id=1&x=2"},
        {"http://h/p.swf?skin=1&file=/tmp/b.flv", "/tmp/b.flv"},
        {"http://h/p.swf?file=http%3A%2F%2Fv%2Fc.flv", "http://v/c.flv"},
        {"http://v/get?id=3", "http://v/get?id=3"},
    };
    for (auto c : cases)
        EXPECT_EQ(mediaOfMovieAddress(c.address), c.media) << c.address;
    EXPECT_TRUE(flashVarsAutostart("autostart=true"));
    EXPECT_TRUE(flashVarsAutostart("skin=2&autostart=true"));
    EXPECT_FALSE(flashVarsAutostart("autostart=false"));
    EXPECT_FALSE(flashVarsAutostart(""));
}

struct Recorder {
    explicit Recorder(EmbeddedPlayer &player)
    {
        QObject::connect(&player, &EmbeddedPlayer::ReadyStateChange, [this](int s) { states.push_back(s); });
        QObject::connect(&player, &EmbeddedPlayer::FlashCall, [this](const QString &name, const QStringList &v) {
            EXPECT_EQ(name, "FSCommand");
            calls += v;
        });
    }
    std::vector<int> states;
    QStringList calls;
};

TEST(EmbeddedPlayer, AutostartReportsLoadingLoadedAndPlayPause)
{
    EmbeddedPlayer player(EmbeddedPlayer::Video::None);
    Recorder r(player);
    player.FlashVars = "autostart=true";
    player.LoadMovie(0, kClip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.ReadyState() == 4; }, 10000));
    EXPECT_EQ(r.states, (std::vector<int>{3, 4}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.calls.contains("play"); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.position() > 0.2; }, 5000)) << "the clip plays";

    player.togglePause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.calls.size() == 2; }, 5000));
    EXPECT_EQ(r.calls, (QStringList{"play", "pause"}));
    player.togglePause();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.calls.size() == 3; }, 5000));
    EXPECT_EQ(r.calls.last(), "play");
}

TEST(EmbeddedPlayer, LoadMovieWithoutAutostartStaysPaused)
{
    EmbeddedPlayer player(EmbeddedPlayer::Video::None);
    Recorder r(player);
    player.LoadMovie(0, kClip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.ReadyState() == 4; }, 10000));
    QTest::qWait(300);
    EXPECT_TRUE(r.calls.isEmpty());
    EXPECT_TRUE(player.isPaused());
}

TEST(EmbeddedPlayer, PlayerAddressPlaysItsFileParameter)
{
    EmbeddedPlayer player(EmbeddedPlayer::Video::None);
    Recorder r(player);
    player.setMovie("http://update.invalid/player/flvplayer.swf?file=" + kClip);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.ReadyState() == 4; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.calls.contains("play"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.duration() > 2.5; }, 5000)) << "the three-second clip";
}

TEST(EmbeddedPlayer, PlaysAClipFromALoopbackServer)
{
    QFile clip(kClip);
    ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
    const QByteArray bytes = clip.readAll();
    testsupport::ScriptedServer server({{testsupport::Step::send(
        "HTTP/1.0 200 OK\r\nContent-Type: video/x-flv\r\nContent-Length: " + QByteArray::number(bytes.size())
        + "\r\n\r\n" + bytes)}});
    EmbeddedPlayer player(EmbeddedPlayer::Video::None);
    Recorder r(player);
    player.setMovie(QString::fromLatin1(server.url("/clip.flv")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.ReadyState() == 4; }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.calls.contains("play"); }, 5000));
}

TEST(EmbeddedPlayer, MissingOrBrokenMediaStaysLoading)
{
    for (const QString &address : {QString("/nonexistent/clip.flv"), QString(CLIPSNARE_FIXTURES "/not_media.flv")}) {
        EmbeddedPlayer player(EmbeddedPlayer::Video::None);
        Recorder r(player);
        player.setMovie(address);
        QTest::qWait(1500);
        EXPECT_EQ(player.ReadyState(), 3) << address.toStdString();
        EXPECT_TRUE(r.calls.isEmpty());
    }
}

} // namespace
