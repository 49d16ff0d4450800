#include "medialib/frmplay.h"

#include "medialib/embedded_player.h"
#include "platform/twips.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace clipsnare {

QPointer<frmplay> frmplay::instance_;

frmplay *frmplay::open(const QString &movieAddress)
{
    if (!instance_)
        instance_ = new frmplay;
    instance_->WebBrowser1->setMovie(movieAddress);
    instance_->show();
    instance_->raise();
    return instance_;
}

frmplay *frmplay::current()
{
    return instance_;
}

frmplay::frmplay()
{
    setAttribute(Qt::WA_DeleteOnClose); // closing unloads; the next opening loads anew
    setWindowTitle("Quick Play");
    resize(twipsToPixels(9600), twipsToPixels(7800));

    WebBrowser1 = new EmbeddedPlayer(this);
    WebBrowser1->AllowFullScreen = false;
    WebBrowser1->move(0, 0);

    Picture1 = new QFrame(this);
    Picture1->setFrameShape(QFrame::Box);
    Picture1->setAutoFillBackground(true);
    Label1 = new QLabel("Loading Online FLV Player, Please Wait...", Picture1);
    Label2 = new QLabel("Some flv videos might not work in this player", Picture1);
    auto *notice = new QVBoxLayout(Picture1);
    notice->addWidget(Label1);
    notice->addWidget(Label2);
    Picture1->adjustSize();

    // Load: the notice shows, the player fills the window.
    Picture1->show();
    WebBrowser1->resize(frameGeometry().size());
    centreNotice();
    Picture1->raise();

    connect(WebBrowser1, &EmbeddedPlayer::ReadyStateChange, this, [this](int state) {
        if (state == 4)
            Picture1->hide();
    });
}

void frmplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    WebBrowser1->resize(std::max(0, width() - twipsToPixels(100)), std::max(0, height() - twipsToPixels(500)));
    centreNotice();
}

void frmplay::centreNotice()
{
    Picture1->move(width() / 2 - Picture1->width() / 2, height() / 2 - Picture1->height() / 2);
}

} // namespace clipsnare
