#include "monitor/capture_loop.h"

#include "monitor/request_text.h"

#include <QFile>
#include <QThread>

#include <array>

namespace {
constexpr qsizetype kBatchSize = 256;
constexpr qint64 kBatchMs = 5;
} // namespace

CaptureLoop::CaptureLoop(Pktwell &library, QString updateHostName)
    : library_(library), updateHostName_(updateHostName.toLatin1().toStdString())
{
}

void CaptureLoop::capture()
{
    CaptureStopped = false;
    const bool fromFile = !captureFile_.isEmpty();
    const int32_t opened =
        fromFile ? library_.openCaptureFile(QFile::encodeName(captureFile_).constData()) : library_.begin(20);
    if (opened != 0) {
        const QString why = QString::fromLocal8Bit(library_.errorDescription().c_str());
        library_.end();
        CaptureStopped = true;
        emit finished(true, why);
        return;
    }

    std::array<uint8_t, 1601> buffer{};
    ByteArrayRef frame{buffer.data(), static_cast<uint32_t>(buffer.size()), 0, 0};
    CaptureInfo info{};
    std::string text;
    QString readError;
    unsigned framesSinceCheck = 0;
    CaptureRunning = !stopRequested_;
    while (CaptureRunning) {
        const int32_t r = library_.capture(&frame, &info);
        if (r > 0) {
            // A bad frame costs that frame only: the text operations never throw.
            if (requestTextOf({frame.data, frame.count}, updateHostName_, text))
                queue(text);
            else if (!pending_.isEmpty() && ++framesSinceCheck % 64 == 0 && pendingSince_.elapsed() >= kBatchMs)
                flush();
            continue;
        }
        flush();
        if (r == PW_END_OF_FILE)
            break;
        if (r < 0) {
            if (fromFile)
                readError = QString::fromLocal8Bit(library_.errorDescription().c_str());
            else
                QThread::msleep(20); // a failing adapter must not spin the loop
        }
    }
    flush();
    if (!fromFile)
        stats_.valid = library_.getStats(&stats_.received, &stats_.dropped, &stats_.interfaceDropped) == 0;
    CaptureStopped = true;
    library_.end();
    emit finished(!readError.isEmpty(), readError);
}

void CaptureLoop::queue(const std::string &text)
{
    if (pending_.isEmpty())
        pendingSince_.start();
    pending_.append(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    // A quiet moment (a read timeout) sends the batch at once; under steady
    // traffic it goes when full or after a few milliseconds.
    if (pending_.size() >= kBatchSize || pendingSince_.elapsed() >= kBatchMs)
        flush();
}

void CaptureLoop::flush()
{
    if (pending_.isEmpty())
        return;
    emit requestTexts(pending_);
    pending_.clear();
}
