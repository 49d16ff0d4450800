#include "downloads/form1.h"

#include "controls/button.h"
#include "downloads/frmdownload.h"
#include "medialib/frmplay.h"
#include "monitor/own_traffic.h"
#include "platform/lenient_number.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/twips.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScreen>

#include <cmath>

namespace clipsnare {

namespace {

QNetworkAccessManager &probeNetwork()
{
    static QNetworkAccessManager network;
    return network;
}

QRect screenRect()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

QRect workArea()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : screenRect();
}

void refuseLink(QWidget *owner, const QString &what)
{
    MessageBox::show(owner, {what + " only opens http:// and https:// addresses; this link is neither.", "Error",
                             MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok});
}

} // namespace

DownloadWindows::DownloadWindows() = default;
DownloadWindows::~DownloadWindows() = default;

frmdownload *DownloadWindows::create()
{
    windows.push_back(std::make_unique<frmdownload>());
    ++DownloadWindowCount;
    return windows.back().get();
}

Form1::Form1(DownloadWindows &downloads, const DeploymentConfig &config)
    : downloads_(downloads), config_(config)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle("FLV Link Found");
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint);
    setFixedSize(twipsToPixels(3225), twipsToPixels(1545));
    setAutoFillBackground(true);

    sitename = new QLabel("<FLV Link Site>");
    QFont bold = sitename->font();
    bold.setBold(true);
    sitename->setFont(bold);
    dlink = new QLineEdit(this);
    dlink->hide(); // outside the visible area by design
    Label3 = new QLabel("Please Click An Option Below,");
    Label4 = new QLabel("File Size : ");
    Label5 = new QLabel("<Connecting...>");
    Label6 = new QLabel("10");
    Label1 = new Button("Download");
    Button1 = new Button("Play");
    Button1->setEnabled(false);
    Label2 = new Button("External Download");
    Command1 = new Button("");
    Command1->setFixedSize(12, 12);
    Command1->setToolTip("Close");
    Image1 = new QLabel;
    Image1->setFixedSize(12, 12);
    Image1->setStyleSheet("background: #d05010; border-radius: 6px;");

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 3, 3, 3);
    grid->setVerticalSpacing(1);
    grid->addWidget(Image1, 0, 0);
    grid->addWidget(sitename, 0, 1, 1, 2);
    grid->addWidget(Command1, 0, 3, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(Label3, 1, 0, 1, 4);
    grid->addWidget(Label4, 2, 0, 1, 2);
    grid->addWidget(Label5, 2, 2);
    grid->addWidget(Label6, 2, 3, Qt::AlignRight);
    grid->addWidget(Label1, 3, 0, 1, 2);
    grid->addWidget(Button1, 3, 2);
    grid->addWidget(Label2, 4, 0, 1, 4);

    for (QWidget *holder : {static_cast<QWidget *>(Image1), static_cast<QWidget *>(Label3),
                            static_cast<QWidget *>(Label4), static_cast<QWidget *>(Label5),
                            static_cast<QWidget *>(sitename)})
        holder->installEventFilter(this);

    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setInterval(1000);
    Timer4 = new QTimer(this);
    Timer4->setInterval(25);
    connect(Timer2, &QTimer::timeout, this, &Form1::probe);
    connect(Timer3, &QTimer::timeout, this, &Form1::countdown);
    connect(Timer4, &QTimer::timeout, this, &Form1::slide);
    connect(Command1, &QPushButton::clicked, Timer4, qOverload<>(&QTimer::start));
    connect(Label1, &QPushButton::clicked, this, &Form1::Label1_Click);
    connect(Button1, &QPushButton::clicked, this, &Form1::Button1_Click);
    connect(Label2, &QPushButton::clicked, this, &Form1::Label2_Click);

    // Load: topmost, in the bottom-right corner above the taskbar.
    move(placement(screenRect(), workArea(), size()));
    Timer2->start(); // enabled at design
}

Form1::~Form1()
{
    if (reply_)
        reply_->abort();
}

QPoint Form1::placement(const QRect &screen, const QRect &work, const QSize &window)
{
    const int taskbar = work.bottom() < screen.bottom() ? screen.bottom() - work.bottom() : 0;
    const int margin = twipsToPixels(10);
    return {screen.x() + screen.width() - window.width() - margin,
            screen.y() + screen.height() - window.height() - taskbar - margin};
}

QString Form1::sizeText(qint64 bytes)
{
    const double kb = std::nearbyint(static_cast<double>(bytes) / 1024.0 * 1000.0) / 1000.0;
    return QString::number(kb, 'g', 15) + "KB";
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease)
        hold();
    return QWidget::eventFilter(watched, event);
}

void Form1::hold()
{
    Timer3->stop();
    Label6->hide();
}

// The size probe: one GET with the own-traffic header, read for its length
// and abandoned at once.
void Form1::probe()
{
    Timer2->stop();
    if (probed_)
        return;
    probed_ = true;
    Timer3->start();
    const QString link = dlink->text();
    if (!Shell::isWebAddress(link)) {
        probeAnswered(0); // nothing but the web is asked
        return;
    }
    QNetworkRequest request(QUrl(link, QUrl::TolerantMode));
    request.setRawHeader("Demon", QByteArray(kOwnTrafficHeader.substr(7).data(),
                                             static_cast<qsizetype>(kOwnTrafficHeader.size() - 7)));
    request.setTransferTimeout(probeTimeoutMs);
    reply_ = probeNetwork().get(request);
    auto answer = [this] {
        if (!reply_)
            return;
        QNetworkReply *reply = reply_;
        reply_ = nullptr;
        const qint64 size = static_cast<qint64>(leadingNumber(QString::fromLatin1(reply->rawHeader("Content-Length"))));
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        probeAnswered(size);
    };
    connect(reply_, &QNetworkReply::metaDataChanged, this, answer);
    connect(reply_, &QNetworkReply::finished, this, answer);
}

void Form1::probeAnswered(qint64 size)
{
    Label5->setText(sizeText(size));
    ProbedUrl = dlink->text();
    Button1->setEnabled(true);
}

void Form1::countdown()
{
    Timer3->stop();
    if (Label6->text() == "0") {
        Timer4->start();
        return;
    }
    Label6->setText(QString::number(static_cast<int>(leadingNumber(Label6->text())) - 1));
    Timer3->start();
}

void Form1::slide()
{
    move(x(), y() + twipsToPixels(50));
    if (y() >= screenRect().y() + screenRect().height())
        close();
}

void Form1::Label1_Click()
{
    frmdownload *window = downloads_.create();
    const bool replay = !CapturedRequest.isEmpty() && ReplayRequest;
    window->ReplayRequest = replay;
    window->CapturedRequest = replay ? CapturedRequest : QByteArray();
    window->IsMp3 = IsMp3;
    window->txt_Url->setText(dlink->text());
    window->show();
    window->cmd_Download_Click();
    close();
}

void Form1::Button1_Click()
{
    if (!Shell::isWebAddress(ProbedUrl)) {
        refuseLink(this, "Play");
        return;
    }
    const QString siteName = config_.youtubeSiteName;
    const bool namesSite = !siteName.isEmpty() && ProbedUrl.contains(siteName);
    if (!ProbedUrl.contains(".flv") && !namesSite && !IsMp3)
        ProbedUrl += "play.flv";
    frmplay::open("http://" + config_.updateHost + "/player/flvplayer.swf?file=" + ProbedUrl);
}

void Form1::Label2_Click()
{
    const QString link = dlink->text();
    if (!Shell::isWebAddress(link)) {
        refuseLink(this, "External Download");
        return;
    }
    Shell::open(link);
}

} // namespace clipsnare
