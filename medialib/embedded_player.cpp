#include "medialib/embedded_player.h"

#include "medialib/movie_address.h"

#include <mpv/client.h>
#include <mpv/render_gl.h>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QContextMenuEvent>

#include <clocale>

namespace {

// Draws libmpv's picture into a Qt OpenGL widget.
class MpvVideoWidget : public QOpenGLWidget {
public:
    MpvVideoWidget(mpv_handle *mpv, QWidget *parent) : QOpenGLWidget(parent), mpv_(mpv) {}
    ~MpvVideoWidget() override
    {
        makeCurrent();
        if (context_)
            mpv_render_context_free(context_);
        doneCurrent();
    }

protected:
    void initializeGL() override
    {
        mpv_opengl_init_params gl{
            [](void *, const char *name) -> void * {
                QOpenGLContext *current = QOpenGLContext::currentContext();
                return current ? reinterpret_cast<void *>(current->getProcAddress(name)) : nullptr;
            },
            nullptr};
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL)},
            {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        if (mpv_render_context_create(&context_, mpv_, params) < 0) {
            context_ = nullptr;
            return;
        }
        // Called on libmpv's thread: only ask for a repaint on ours.
        mpv_render_context_set_update_callback(
            context_,
            [](void *self) {
                auto *widget = static_cast<MpvVideoWidget *>(self);
                QMetaObject::invokeMethod(widget, [widget] { widget->update(); }, Qt::QueuedConnection);
            },
            this);
    }

    void paintGL() override
    {
        if (!context_)
            return;
        const qreal ratio = devicePixelRatioF();
        mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), static_cast<int>(width() * ratio),
                           static_cast<int>(height() * ratio), 0};
        int flip = 1;
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
            {MPV_RENDER_PARAM_FLIP_Y, &flip},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        mpv_render_context_render(context_, params);
    }

private:
    mpv_handle *mpv_;
    mpv_render_context *context_ = nullptr;
};

QString clock(double seconds)
{
    const int s = seconds > 0 ? static_cast<int>(seconds) : 0;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

EmbeddedPlayer::Video defaultVideo()
{
    return QGuiApplication::platformName() == "offscreen" ? EmbeddedPlayer::Video::None
                                                           : EmbeddedPlayer::Video::Window;
}

} // namespace

EmbeddedPlayer::EmbeddedPlayer(QWidget *parent) : EmbeddedPlayer(defaultVideo(), parent) {}

EmbeddedPlayer::EmbeddedPlayer(Video video, QWidget *parent) : QWidget(parent)
{
    // libmpv refuses to start unless numbers are read the C way.
    std::setlocale(LC_NUMERIC, "C");
    mpv_ = mpv_create();
    if (mpv_) {
        const bool headless = video == Video::None;
        const std::pair<const char *, const char *> options[] = {
            {"config", "no"},        {"load-scripts", "no"},           {"ytdl", "no"},
            {"osc", "no"},           {"input-default-bindings", "no"}, {"input-vo-keyboard", "no"},
            {"terminal", "no"},      {"keep-open", "yes"},             {"idle", "yes"},
            {"vo", headless ? "null" : "libmpv"}, {"ao", headless ? "null" : "pulse,alsa,null"},
        };
        for (auto [name, value] : options)
            mpv_set_option_string(mpv_, name, value);
        if (mpv_initialize(mpv_) < 0) {
            mpv_terminate_destroy(mpv_);
            mpv_ = nullptr;
        }
    }
    if (mpv_) {
        mpv_observe_property(mpv_, 0, "pause", MPV_FORMAT_FLAG);
        mpv_observe_property(mpv_, 0, "time-pos", MPV_FORMAT_DOUBLE);
        mpv_observe_property(mpv_, 0, "duration", MPV_FORMAT_DOUBLE);
        mpv_set_wakeup_callback(
            mpv_,
            [](void *self) {
                QMetaObject::invokeMethod(static_cast<EmbeddedPlayer *>(self), "drainEvents", Qt::QueuedConnection);
            },
            this);
    }

    if (mpv_ && video == Video::Window)
        video_ = new MpvVideoWidget(mpv_, this);
    else
        video_ = new QWidget(this);
    video_->setMinimumSize(16, 16);
    video_->setAutoFillBackground(true);
    video_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    bar_ = new QWidget(this);
    playButton_ = new QToolButton(bar_);
    playButton_->setText("Play");
    positionSlider_ = new QSlider(Qt::Horizontal, bar_);
    positionSlider_->setRange(0, 1000);
    timeLabel_ = new QLabel("0:00 / 0:00", bar_);
    volumeSlider_ = new QSlider(Qt::Horizontal, bar_);
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setValue(100);
    volumeSlider_->setMaximumWidth(80);
    volumeSlider_->setToolTip("Volume");
    fullScreenButton_ = new QToolButton(bar_);
    fullScreenButton_->setText("Full Screen");
    fullScreenButton_->setVisible(false);
    auto *barLayout = new QHBoxLayout(bar_);
    barLayout->setContentsMargins(2, 2, 2, 2);
    barLayout->addWidget(playButton_);
    barLayout->addWidget(positionSlider_, 1);
    barLayout->addWidget(timeLabel_);
    barLayout->addWidget(volumeSlider_);
    barLayout->addWidget(fullScreenButton_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(video_, 1);
    layout->addWidget(bar_);

    connect(playButton_, &QToolButton::clicked, this, &EmbeddedPlayer::togglePause);
    connect(positionSlider_, &QSlider::sliderReleased, this, [this] {
        if (duration_ > 0)
            command({"seek", QString::number(positionSlider_->value() * duration_ / 1000.0), "absolute"});
    });
    connect(volumeSlider_, &QSlider::valueChanged, this, [this](int volume) {
        if (mpv_) {
            double v = volume;
            mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &v);
        }
    });
    connect(fullScreenButton_, &QToolButton::clicked, this, &EmbeddedPlayer::toggleFullScreen);
    setBackgroundColor(0);
}

EmbeddedPlayer::~EmbeddedPlayer()
{
    delete video_; // frees the render context before libmpv goes
    video_ = nullptr;
    if (mpv_) {
        mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
        mpv_terminate_destroy(mpv_);
    }
}

void EmbeddedPlayer::setMovie(const QString &address)
{
    movie_ = address;
    load(address, true);
}

void EmbeddedPlayer::LoadMovie(int layer, const QString &address)
{
    if (layer != 0)
        return; // only layer 0 holds a movie here
    movie_ = address;
    load(address, flashVarsAutostart(FlashVars));
}

void EmbeddedPlayer::load(const QString &address, bool play)
{
    fullScreenButton_->setVisible(AllowFullScreen);
    loaded_ = false;
    setReadyState(3);
    if (!mpv_)
        return;
    int pause = play ? 0 : 1;
    mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &pause);
    command({"loadfile", mediaOfMovieAddress(address), "replace"});
}

void EmbeddedPlayer::setBackgroundColor(quint32 colour)
{
    background_ = colour;
    const QColor c(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                   static_cast<int>((colour >> 16) & 0xFF));
    QPalette p = video_->palette();
    p.setColor(QPalette::Window, c);
    video_->setPalette(p);
    if (mpv_)
        mpv_set_property_string(mpv_, "background", c.name().toUtf8().constData());
}

bool EmbeddedPlayer::isPaused() const
{
    return paused_;
}

void EmbeddedPlayer::setPaused(bool paused)
{
    if (!mpv_)
        return;
    int flag = paused ? 1 : 0;
    mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag);
}

void EmbeddedPlayer::togglePause()
{
    setPaused(!paused_);
}

void EmbeddedPlayer::command(const QStringList &args)
{
    if (!mpv_)
        return;
    std::vector<QByteArray> utf8;
    for (const QString &a : args)
        utf8.push_back(a.toUtf8());
    std::vector<const char *> argv;
    for (const QByteArray &a : utf8)
        argv.push_back(a.constData());
    argv.push_back(nullptr);
    mpv_command_async(mpv_, 0, argv.data());
}

void EmbeddedPlayer::setReadyState(int state)
{
    if (readyState_ == state)
        return;
    readyState_ = state;
    emit ReadyStateChange(state);
}

void EmbeddedPlayer::drainEvents()
{
    while (mpv_) {
        mpv_event *event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        switch (event->event_id) {
        case MPV_EVENT_FILE_LOADED:
            loaded_ = true;
            setReadyState(4);
            if (!paused_)
                emit FlashCall("FSCommand", {"play"});
            break;
        case MPV_EVENT_END_FILE:
            loaded_ = false;
            break;
        case MPV_EVENT_PROPERTY_CHANGE: {
            auto *property = static_cast<mpv_event_property *>(event->data);
            const QByteArray name = property->name;
            if (name == "pause" && property->format == MPV_FORMAT_FLAG) {
                const bool paused = *static_cast<int *>(property->data) != 0;
                const bool changed = paused != paused_;
                paused_ = paused;
                if (loaded_ && changed)
                    emit FlashCall("FSCommand", {paused ? "pause" : "play"});
            } else if (name == "time-pos") {
                position_ = property->format == MPV_FORMAT_DOUBLE ? *static_cast<double *>(property->data) : 0;
            } else if (name == "duration") {
                duration_ = property->format == MPV_FORMAT_DOUBLE ? *static_cast<double *>(property->data) : 0;
            }
            updateBar();
            break;
        }
        default:
            break;
        }
    }
}

void EmbeddedPlayer::updateBar()
{
    playButton_->setText(paused_ ? "Play" : "Pause");
    timeLabel_->setText(clock(position_) + " / " + clock(duration_));
    if (!positionSlider_->isSliderDown())
        positionSlider_->setValue(duration_ > 0 ? static_cast<int>(position_ / duration_ * 1000) : 0);
}

void EmbeddedPlayer::toggleFullScreen()
{
    if (!AllowFullScreen)
        return;
    QWidget *w = window();
    w->setWindowState(w->windowState() ^ Qt::WindowFullScreen);
}

void EmbeddedPlayer::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(paused_ ? "Play" : "Pause", this, &EmbeddedPlayer::togglePause);
    if (Menu && AllowFullScreen)
        menu.addAction("Full Screen", this, &EmbeddedPlayer::toggleFullScreen);
    menu.exec(event->globalPos());
}
