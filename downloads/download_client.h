// The downloader: a minimal HTTP/1.0 client on a TCP socket that fetches one
// link into one open file, follows redirects, and keeps the texts a download
// window shows. It needs no window.
#pragma once

#include "downloads/url_parts.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>

class QFile;
class QTcpSocket;

// What a download window shows, control by control.
struct DownloadView {
    QString status = QStringLiteral("Status : None"); // StatusBar1
    QString address;                                  // Text1
    QString header;                                   // Text2
    QString loaded = QStringLiteral("0 B / 0 B");     // lbl_Loaded
    QString bytes = QStringLiteral("0 B / 0 B");      // Label1
    bool lengthKnown = true;                          // lbl_Loaded and lbl_Done shown, else Label1
    QString speed = QStringLiteral("0 B/s");          // lbl_Speed
    QString remaining = QStringLiteral("00:00:00");   // lbl_Remain
    QString done = QStringLiteral("0%");              // lbl_Done
    float progress = 0;                               // PB, 0..100
    QString trayTooltip;                              // TrayIcon1, once a refresh has set it
};

enum class DownloadOutcome { Running, Done, Failed };

class DownloadClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 20;
    static constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
    static constexpr qint64 kReadBufferBytes = 1024 * 1024;

    explicit DownloadClient(QObject *parent = nullptr);
    ~DownloadClient() override;

    // Sends this captured request, unchanged, as the first request.
    void setReplay(const QByteArray &capturedRequest);
    // The host the site's pages name, and the host of its video servers that
    // replaces it at the start (compared in lower case; empty: no replacement).
    void setSiteHosts(const QString &siteHost, const QString &videoHost);
    void setConnectTimeout(int milliseconds) { connectTimeoutMs_ = milliseconds; }
    // Gives up when an open connection stays silent this long (0: never).
    void setIdleTimeout(int milliseconds) { idleTimeoutMs_ = milliseconds; }

    // Starts fetching `url` into `output` (open, empty). False when the
    // address has no usable port; message() has then said so.
    bool start(const QString &url, QFile *output);
    // Closes the connection; status "Status: Cancelled".
    void cancel();

    const DownloadView &view() const { return view_; }
    DownloadOutcome outcome() const { return outcome_; }
    qint64 contentLength() const { return contentLength_; }
    qint64 bytesReceived() const { return bytesReceived_; }

signals:
    void viewChanged();
    // An error the user must acknowledge (a box titled "Error").
    void message(const QString &text);
    // The transfer reached Done or Failed.
    void ended(DownloadOutcome outcome);

private:
    void connectToRemote();
    void dropSocket();
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void onSocketError();
    void handleData(const QByteArray &data);
    void processHeader(const QByteArray &data);
    void redirect(const QString &header);
    void processContent(const QByteArray &data);
    void processStatus();
    void finishStatus();
    void closeFile();
    void setStatus(const QString &status);
    void fail(const QString &status);
    void finish(DownloadOutcome outcome);

    QFile *file_ = nullptr;
    QPointer<QTcpSocket> socket_;
    bool connected_ = false;
    bool replay_ = false;
    QByteArray capturedRequest_;
    QString siteHost_, videoHost_;
    RemoteAddress remote_;

    bool awaitingHeader_ = true;
    QByteArray headerBuffer_;
    qint64 contentLength_ = 0;
    qint64 bytesReceived_ = 0;
    int redirects_ = 0;

    QElapsedTimer clock_;
    qint64 startTick_ = 0;
    std::optional<qint64> lastStatusTick_;

    QTimer connectTimer_;
    QTimer idleTimer_;
    int connectTimeoutMs_ = 30000;
    int idleTimeoutMs_ = 0;

    DownloadView view_;
    DownloadOutcome outcome_ = DownloadOutcome::Running;
};
