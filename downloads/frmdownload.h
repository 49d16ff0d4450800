// The download window: asks where to save, runs one transfer, shows its
// progress, hides to the tray and cancels.
#pragma once

#include "downloads/download_client.h"

#include <QFile>
#include <QWidget>

class Button;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class TrayIcon;

namespace clipsnare {

class frmdownload : public QWidget {
    Q_OBJECT
public:
    explicit frmdownload(QWidget *parent = nullptr);
    ~frmdownload() override;

    // Set by the found-link window before the start.
    bool ReplayRequest = false;
    QByteArray CapturedRequest;
    bool IsMp3 = false;

    // The start sequence: Save dialog, clearing the way for the file, and the
    // transfer. Returns once the connection attempt has started or the start
    // was refused.
    void cmd_Download_Click();

    QString FilePath;
    const DownloadClient &client() const { return client_; }

    QLineEdit *Text1;
    Button *Command2;
    QLabel *lbl_CaptionRate, *lbl_Speed;
    QLabel *lbl_CaptionRemain, *lbl_Remain;
    QLabel *lbl_CaptionLoaded, *lbl_Loaded;
    QLabel *Label1;
    QProgressBar *PB;
    QLabel *lbl_Done;
    Button *cmd_Abort;
    QLabel *StatusBar1;
    QPlainTextEdit *Text2;
    QGroupBox *Frame2;
    QLabel *Label4;
    QLineEdit *txt_Url;
    QPushButton *cmd_Download;
    TrayIcon *TrayIcon1;

    void cmd_Abort_Click();
    void Command2_Click();
    void TrayIcon1_MouseMessage(int message);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showView();
    void onEnded(DownloadOutcome outcome);
    void errorBox(const QString &text);

    DownloadClient client_;
    QFile output_;
    bool centred_ = false;
};

} // namespace clipsnare
