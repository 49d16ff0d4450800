#include "monitor/capture_loop.h"

#include "monitor/request_text.h"

#include <QFile>
#include <QThread>

#include <array>

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
    CaptureRunning = !stopRequested_;
    while (CaptureRunning) {
        const int32_t r = library_.capture(&frame, &info);
        if (r > 0) {
            // A bad frame costs that frame only: the text operations never throw.
            if (requestTextOf({frame.data, frame.count}, updateHostName_, text))
                emit requestText(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        } else if (r == PW_END_OF_FILE) {
            break;
        } else if (r < 0) {
            if (fromFile)
                readError = QString::fromLocal8Bit(library_.errorDescription().c_str());
            else
                QThread::msleep(20); // a failing adapter must not spin the loop
        }
    }
    CaptureStopped = true;
    library_.end();
    emit finished(!readError.isEmpty(), readError);
}
