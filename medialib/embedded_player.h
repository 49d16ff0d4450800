// The embedded player the windows play video in, over libmpv. It keeps the
// operations the windows use of a movie player: a movie address (it plays the
// address's "file" parameter, or the address itself), LoadMovie, FlashVars
// ("autostart=true"), AllowFullScreen, BackgroundColor, Menu; ready state 3
// while loading and 4 once loaded; "FSCommand" events with "play" or "pause".
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

struct mpv_handle;
class QLabel;
class QSlider;
class QToolButton;

class EmbeddedPlayer : public QWidget {
    Q_OBJECT
public:
    enum class Video { Window, None };

    // Video::None renders nothing (for machines without a display);
    // the default picks it on the offscreen platform.
    explicit EmbeddedPlayer(QWidget *parent = nullptr);
    EmbeddedPlayer(Video video, QWidget *parent = nullptr);
    ~EmbeddedPlayer() override;

    // Setting the movie address loads it and starts playing.
    void setMovie(const QString &address);
    QString movie() const { return movie_; }
    // Loads into layer 0, replacing the movie; plays at once only when the
    // flash variables say autostart=true.
    void LoadMovie(int layer, const QString &address);

    QString FlashVars;
    bool AllowFullScreen = false;
    bool Menu = true;
    void setBackgroundColor(quint32 colour); // 0x00BBGGRR
    quint32 BackgroundColor() const { return background_; }

    int ReadyState() const { return readyState_; }
    bool isPaused() const;
    void togglePause();
    void setPaused(bool paused);
    double position() const { return position_; }
    double duration() const { return duration_; }

signals:
    void ReadyStateChange(int newState);
    // The player's generic event: name and parameter values ("FSCommand", {"play"}).
    void FlashCall(const QString &eventName, const QStringList &values);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private slots:
    void drainEvents();

private:
    void load(const QString &address, bool play);
    void setReadyState(int state);
    void command(const QStringList &args);
    void updateBar();
    void toggleFullScreen();

    mpv_handle *mpv_ = nullptr;
    QWidget *video_ = nullptr;
    QWidget *bar_ = nullptr;
    QToolButton *playButton_ = nullptr;
    QSlider *positionSlider_ = nullptr;
    QLabel *timeLabel_ = nullptr;
    QSlider *volumeSlider_ = nullptr;
    QToolButton *fullScreenButton_ = nullptr;

    QString movie_;
    quint32 background_ = 0;
    int readyState_ = 0;
    bool loaded_ = false;
    bool paused_ = true;
    bool pauseKnown_ = false;
    double position_ = 0;
    double duration_ = 0;
};
