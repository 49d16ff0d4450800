// The capture loop: reads frames, keeps those that hold a request, and hands
// their request text on. It runs on a worker thread; the rules run on the
// thread that owns the windows, at the other end of requestText.
#pragma once

#include "capture/pktwell_loader.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>

class CaptureLoop : public QObject {
    Q_OBJECT
public:
    CaptureLoop(Pktwell &library, QString updateHostName);

    // Reads this capture file instead of the adapter selected in the library.
    void setCaptureFile(const QString &path) { captureFile_ = path; }

    // The loop goes on while this is true.
    std::atomic<bool> CaptureRunning{false};
    // True when no loop is active.
    std::atomic<bool> CaptureStopped{true};

    // libpcap's counters as the live capture closed (valid after finished).
    struct Stats {
        bool valid = false;
        uint32_t received = 0, dropped = 0, interfaceDropped = 0;
    };
    Stats stats() const { return stats_; }

    // Asks the loop to leave after the current frame; also before it has
    // started. Safe from any thread and from a signal handler.
    void stop()
    {
        stopRequested_ = true;
        CaptureRunning = false;
    }

public slots:
    // Opens the capture (pwBegin with a 20 ms read timeout, or the capture
    // file), loops until stopped or until the file ends, then calls pwEnd.
    void capture();

signals:
    // Request texts in the order captured. They travel in small batches: one
    // cross-thread hand-over per frame would cost more than the frame.
    void requestTexts(const QList<QByteArray> &texts);
    // failed: the capture could not be opened or read; error: the library's text.
    void finished(bool failed, const QString &error);

private:
    void queue(const std::string &text);
    void flush();

    Pktwell &library_;
    QList<QByteArray> pending_;
    QElapsedTimer pendingSince_;
    std::string updateHostName_;
    QString captureFile_;
    Stats stats_;
    std::atomic<bool> stopRequested_{false};
};
