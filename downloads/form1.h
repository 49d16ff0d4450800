// The found-link window: shows a found link's site and size, counts down and
// slides away, and offers Download, Play and External Download.
#pragma once

#include "shell/deployment_config.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class Button;
class QLabel;
class QLineEdit;
class QNetworkReply;

namespace clipsnare {

class frmdownload;

// The download windows "Download" creates, oldest first; entries stay for
// the life of the list.
class DownloadWindows {
public:
    DownloadWindows();
    ~DownloadWindows();
    frmdownload *create();
    std::vector<std::unique_ptr<frmdownload>> windows;
    int DownloadWindowCount = 0;
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(DownloadWindows &downloads, const DeploymentConfig &config);
    ~Form1() override;

    // Where the window sits: the bottom-right corner of the screen, above a
    // taskbar at the bottom edge (what the work area leaves below it).
    static QPoint placement(const QRect &screen, const QRect &workArea, const QSize &window);
    // The probe's size text: bytes / 1024 to three decimals, then "KB".
    static QString sizeText(qint64 bytes);
    // How long the probe waits for an answer before it gives up.
    static inline int probeTimeoutMs = 10000;

    bool ReplayRequest = false;
    QByteArray CapturedRequest;
    bool IsMp3 = false;
    QString ProbedUrl;

    QLabel *sitename;
    QLineEdit *dlink;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    Button *Label1;
    Button *Button1;
    Button *Label2;
    Button *Command1;
    QLabel *Image1;
    QTimer *Timer2;
    QTimer *Timer3;
    QTimer *Timer4;

    void Label1_Click();
    void Button1_Click();
    void Label2_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void probe();
    void probeAnswered(qint64 size);
    void countdown();
    void slide();
    void hold();

    DownloadWindows &downloads_;
    DeploymentConfig config_;
    QPointer<QNetworkReply> reply_;
    bool probed_ = false;
};

} // namespace clipsnare
