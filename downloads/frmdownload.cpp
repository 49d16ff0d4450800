#include "downloads/frmdownload.h"

#include "controls/button.h"
#include "controls/tray_icon.h"
#include "downloads/progress.h"
#include "platform/file_dialogs.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "shell/deployment_config.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace clipsnare {

frmdownload::frmdownload(QWidget *parent) : QWidget(parent)
{
    setWindowTitle("FLV Downloader");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::CustomizeWindowHint);
    setFixedSize(twipsToPixels(5295), twipsToPixels(4335));

    Text1 = new QLineEdit;
    Text1->setReadOnly(true);
    Command2 = new Button("Hide To Tary");
    lbl_CaptionRate = new QLabel("Speed:");
    lbl_Speed = new QLabel("0 B/s");
    lbl_CaptionRemain = new QLabel("Remaining:");
    lbl_Remain = new QLabel("00:00:00");
    lbl_CaptionLoaded = new QLabel("Downloaded:");
    lbl_Loaded = new QLabel("0 B / 0 B");
    Label1 = new QLabel("0 B / 0 B");
    Label1->hide();
    PB = new QProgressBar;
    PB->setRange(0, 100);
    PB->setValue(0);
    PB->setTextVisible(false);
    lbl_Done = new QLabel("0%");
    cmd_Abort = new Button("Cancel");
    StatusBar1 = new QLabel("Status : None");
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    Text2 = new QPlainTextEdit;
    Text2->setReadOnly(true);
    Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Frame2 = new QGroupBox("Download File");
    Label4 = new QLabel("Url:");
    txt_Url = new QLineEdit;
    cmd_Download = new QPushButton("Download");
    auto *frameLayout = new QHBoxLayout(Frame2);
    frameLayout->addWidget(Label4);
    frameLayout->addWidget(txt_Url);
    frameLayout->addWidget(cmd_Download);
    Frame2->hide(); // below the visible area by design
    TrayIcon1 = new TrayIcon(this);

    auto *grid = new QGridLayout;
    grid->addWidget(lbl_CaptionRate, 0, 0);
    grid->addWidget(lbl_Speed, 0, 1);
    grid->addWidget(lbl_CaptionRemain, 1, 0);
    grid->addWidget(lbl_Remain, 1, 1);
    grid->addWidget(lbl_CaptionLoaded, 2, 0);
    grid->addWidget(lbl_Loaded, 2, 1);
    grid->addWidget(Label1, 2, 1);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(PB, 1);
    progressRow->addWidget(lbl_Done);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addStretch();
    buttons->addWidget(cmd_Abort);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addLayout(grid);
    layout->addLayout(progressRow);
    layout->addWidget(Text2, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);
    layout->addWidget(Frame2);

    connect(cmd_Download, &QPushButton::clicked, this, &frmdownload::cmd_Download_Click);
    connect(cmd_Abort, &QPushButton::clicked, this, &frmdownload::cmd_Abort_Click);
    connect(Command2, &QPushButton::clicked, this, &frmdownload::Command2_Click);
    connect(TrayIcon1, &TrayIcon::mouseMessage, this, &frmdownload::TrayIcon1_MouseMessage);
    connect(&client_, &DownloadClient::viewChanged, this, &frmdownload::showView);
    connect(&client_, &DownloadClient::message, this, &frmdownload::errorBox);
    connect(&client_, &DownloadClient::ended, this, &frmdownload::onEnded);
}

frmdownload::~frmdownload() = default;

void frmdownload::showEvent(QShowEvent *event)
{
    if (!centred_) {
        centred_ = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void frmdownload::errorBox(const QString &text)
{
    MessageBox::show(this, {text, "Error", MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok});
}

void frmdownload::cmd_Download_Click()
{
    QCoreApplication::processEvents();
    cmd_Abort->update();
    Command2->update();
    QCoreApplication::processEvents();

    Text1->setText(txt_Url->text());

    FileDialogs::Settings settings;
    settings.title = IsMp3 ? "Download MP3 To : " : "Download Video To : ";
    settings.filterDescription = IsMp3 ? "MP3 Files (*.mp3)" : "FLV Files (*.flv)";
    settings.filterPattern = IsMp3 ? "*.mp3" : "*.flv";
    settings.defaultExtension = IsMp3 ? "mp3" : "flv";
    settings.initialFolder = QCoreApplication::applicationDirPath() + "/";
    const FileDialogs::DialogResult chosen = FileDialogs::ShowSave(this, true, settings);
    if (chosen.cancelled) {
        errorBox("Error: Save Cancelled By User !");
        close();
        return;
    }

    // No overwrite prompt: an existing file is replaced.
    const QString path = chosen.fullPath;
    if (QFileInfo::exists(path)) {
        bool gone = false;
        for (int attempt = 0; attempt < 10 && !gone; ++attempt) {
            QFile::remove(path);
            QCoreApplication::processEvents();
            gone = !QFileInfo::exists(path);
        }
        if (!gone) {
            errorBox("Error: Unable to overwrite the File");
            close();
            return;
        }
    }

    FilePath = path;
    output_.setFileName(FilePath);
    if (!output_.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        StatusBar1->setText(QStringLiteral("Error: Cannot write %1 (%2)").arg(FilePath, output_.errorString()));
        return;
    }

    const DeploymentConfig config = DeploymentConfig::load(DeploymentConfig::defaultPath());
    client_.setSiteHosts(config.youtubeSiteHost, config.youtubeVideoHost);
    if (ReplayRequest)
        client_.setReplay(CapturedRequest);
    client_.start(txt_Url->text(), &output_);
}

void frmdownload::showView()
{
    const DownloadView &v = client_.view();
    StatusBar1->setText(v.status);
    if (!v.address.isEmpty())
        Text1->setText(v.address);
    Text2->setPlainText(v.header);
    lbl_Loaded->setText(v.loaded);
    Label1->setText(v.bytes);
    lbl_Loaded->setVisible(v.lengthKnown);
    Label1->setVisible(!v.lengthKnown);
    lbl_Done->setVisible(v.lengthKnown);
    lbl_Speed->setText(v.speed);
    lbl_Remain->setText(v.remaining);
    lbl_Done->setText(v.done);
    PB->setValue(static_cast<int>(v.progress));
    if (!v.trayTooltip.isEmpty() && TrayIcon1->isCreated())
        TrayIcon1->setTooltip(v.trayTooltip);
}

void frmdownload::onEnded(DownloadOutcome outcome)
{
    if (outcome != DownloadOutcome::Done)
        return; // the window stays with its status; the user cancels
    TrayIcon1->remove();
    close();
}

void frmdownload::cmd_Abort_Click()
{
    const auto answer = MessageBox::show(this, {"Are sure want to cancel current download ?", "Abort ?",
                                                MessageBox::Icon::Question, MessageBox::Buttons::YesNo});
    if (answer != MessageBox::Answer::Yes)
        return;
    client_.cancel();
    output_.close();
    if (!FilePath.isEmpty())
        QFile::remove(FilePath);
    close();
}

void frmdownload::Command2_Click()
{
    hide();
    TrayIcon1->create("Downloading Progress...", windowIcon());
}

void frmdownload::TrayIcon1_MouseMessage(int message)
{
    if (message == TrayIcon::kLeftButtonUp) {
        show();
        TrayIcon1->remove();
    } else if (message == TrayIcon::kRightButtonUp) {
        const QStringList lines = {
            "Download Progress : " + singleText(client_.view().progress) + " %",
            "Time Left : " + lbl_Remain->text(),
            "Speed : " + lbl_Speed->text(),
            "Downloaded : " + lbl_Loaded->text(),
            "Double Click Tray Icon To Show The Window",
        };
        TrayIcon1->showBalloon({"Downloading...", lines.join("\r\n"), TrayIcon::BalloonIcon::Information, 5000});
    }
}

// Closing ends the transfer with the window, as its socket and file belong
// to it; the window object itself stays for the list that holds it.
void frmdownload::closeEvent(QCloseEvent *event)
{
    TrayIcon1->remove();
    if (client_.outcome() == DownloadOutcome::Running && output_.isOpen())
        client_.cancel();
    output_.close();
    QWidget::closeEvent(event);
}

} // namespace clipsnare
