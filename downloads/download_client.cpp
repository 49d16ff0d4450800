#include "downloads/download_client.h"

#include "downloads/progress.h"
#include "monitor/own_traffic.h"
#include "platform/lenient_number.h"

#include <QFile>
#include <QTcpSocket>

#include <cmath>

namespace {

QString latin1(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

// The value of the header line `name` (found in any case), up to its CR LF
// or the end of the header.
std::optional<QString> headerValue(const QString &header, const QString &name)
{
    const qsizetype at = header.indexOf(name, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    const qsizetype from = at + name.size();
    const qsizetype end = header.indexOf("\r\n", from);
    return header.mid(from, end < 0 ? -1 : end - from);
}

} // namespace

DownloadClient::DownloadClient(QObject *parent) : QObject(parent)
{
    clock_.start();
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Error: Cannot connect to %1:%2 (timed out)").arg(remote_.host, remote_.port));
    });
    idleTimer_.setSingleShot(true);
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("Error: No data from the server for %1 seconds").arg(idleTimeoutMs_ / 1000.0));
    });
}

DownloadClient::~DownloadClient()
{
    dropSocket();
}

void DownloadClient::setReplay(const QByteArray &capturedRequest)
{
    replay_ = true;
    capturedRequest_ = capturedRequest;
}

void DownloadClient::setSiteHosts(const QString &siteHost, const QString &videoHost)
{
    siteHost_ = siteHost;
    videoHost_ = videoHost;
}

bool DownloadClient::start(const QString &url, QFile *output)
{
    file_ = output;
    remote_ = ParseUrl(url);
    if (!siteHost_.isEmpty() && remote_.host.toLower() == siteHost_.toLower())
        remote_.host = videoHost_;
    if (portNumber(remote_.port) == 0) {
        emit message(QStringLiteral("Error: The entered URL is not valid"));
        return false;
    }
    bytesReceived_ = 0;
    connectToRemote();
    return true;
}

void DownloadClient::cancel()
{
    dropSocket();
    setStatus(QStringLiteral("Status: Cancelled"));
}

// Every connection gets a socket of its own, so that nothing the old one
// still reports (its close, its errors) reaches the new transfer.
void DownloadClient::dropSocket()
{
    connectTimer_.stop();
    idleTimer_.stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    socket_ = nullptr;
    connected_ = false;
}

void DownloadClient::connectToRemote()
{
    dropSocket();
    awaitingHeader_ = true;
    headerBuffer_.clear();
    socket_ = new QTcpSocket(this);
    // Bounded reads: memory stays the same whatever the size of the file.
    socket_->setReadBufferSize(kReadBufferBytes);
    connect(socket_, &QTcpSocket::connected, this, &DownloadClient::onConnected);
    connect(socket_, &QTcpSocket::readyRead, this, &DownloadClient::onReadyRead);
    connect(socket_, &QTcpSocket::disconnected, this, &DownloadClient::onDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &DownloadClient::onSocketError);
    if (connectTimeoutMs_ > 0)
        connectTimer_.start(connectTimeoutMs_);
    socket_->connectToHost(remote_.host, static_cast<quint16>(portNumber(remote_.port)));
}

void DownloadClient::onConnected()
{
    connectTimer_.stop();
    connected_ = true;
    QByteArray request;
    if (replay_) {
        request = capturedRequest_ + "\r\n\r\n\r\n";
        replay_ = false; // a redirect sends a built request
    } else {
        request = "GET " + remote_.path.toLatin1() + " HTTP/1.0\r\n"
                  + "Host: " + remote_.host.toLatin1() + "\r\n"
                  + "Accept: */*\r\n"
                  + "Accept-Encoding: binary\r\n"
                  + QByteArray(kOwnTrafficHeader.data(), static_cast<qsizetype>(kOwnTrafficHeader.size())) + "\r\n"
                  + "Connection: close\r\n\r\n\r\n";
    }
    startTick_ = clock_.elapsed();
    setStatus(QStringLiteral("Status: Connected"));
    if (idleTimeoutMs_ > 0)
        idleTimer_.start(idleTimeoutMs_);
    socket_->write(request);
}

void DownloadClient::onReadyRead()
{
    const QByteArray data = socket_->readAll();
    if (data.isEmpty())
        return;
    if (idleTimeoutMs_ > 0)
        idleTimer_.start(idleTimeoutMs_);
    if (!file_ || !file_->isOpen()) {
        dropSocket();
        return;
    }
    handleData(data);
}

// A response begins with "HTTP"; its header is collected until the empty
// line, however many reads it takes. Anything else is body from its first
// byte, and so is every read after the header, whatever it begins with.
void DownloadClient::handleData(const QByteArray &data)
{
    if (!awaitingHeader_) {
        processContent(data);
        return;
    }
    headerBuffer_ += data;
    static const QByteArray http = QByteArrayLiteral("HTTP");
    if (headerBuffer_.size() < http.size() ? !http.startsWith(headerBuffer_) : !headerBuffer_.startsWith(http)) {
        awaitingHeader_ = false;
        processContent(std::exchange(headerBuffer_, {}));
        return;
    }
    if (!headerBuffer_.contains("\r\n\r\n")) {
        if (headerBuffer_.size() > kMaxHeaderBytes)
            fail(QStringLiteral("Error: Response header too large"));
        return;
    }
    processHeader(std::exchange(headerBuffer_, {}));
}

void DownloadClient::processHeader(const QByteArray &data)
{
    const qsizetype end = data.indexOf("\r\n\r\n");
    const QString header = latin1(data.left(end));
    const QByteArray rest = data.mid(end + 4);
    const QStringList parts = header.section("\r\n", 0, 0).split(' ');
    const QString code = parts.value(1);
    const QString word = parts.value(2);
    view_.header = header;
    emit viewChanged();

    if (code == "200") {
        const auto length = headerValue(header, QStringLiteral("Content-Length: "));
        contentLength_ = length ? std::llround(leadingNumber(*length)) : -1;
        awaitingHeader_ = false;
        if (!rest.isEmpty()) {
            file_->write(rest);
            bytesReceived_ = rest.size();
        }
    } else if (code == "302" || code == "303") {
        awaitingHeader_ = false;
        redirect(header);
    } else if (code == "404") {
        view_.progress = 100;
        setStatus(QStringLiteral("Error: File not found"));
        closeFile();
        dropSocket();
        finish(DownloadOutcome::Failed);
    } else {
        dropSocket();
        setStatus(QStringLiteral("Error: Unknown Status (%1 %2)").arg(code, word));
        finish(DownloadOutcome::Failed);
    }
}

void DownloadClient::redirect(const QString &header)
{
    const auto location = headerValue(header, QStringLiteral("Location: "));
    if (!location)
        return; // the server ends it by closing the connection
    if (++redirects_ > kMaxRedirects) {
        fail(QStringLiteral("Error: Too many redirections (more than %1)").arg(kMaxRedirects));
        return;
    }
    setStatus(QStringLiteral("Status: Redirection"));
    view_.address = *location;
    remote_ = ParseUrl(*location);
    view_.progress = 100;
    emit viewChanged();
    if (portNumber(remote_.port) == 0) {
        const QString text = QStringLiteral("Error: The new Location URL is not valid.");
        emit message(text);
        // Left open, the old connection's close would read as a finished download.
        fail(text);
        return;
    }
    connectToRemote();
}

// Every write appends, so the file position is always its end.
void DownloadClient::processContent(const QByteArray &data)
{
    file_->write(data);
    bytesReceived_ += data.size();
    processStatus();
}

void DownloadClient::processStatus()
{
    const qint64 now = clock_.elapsed();
    if (!lastStatusTick_)
        lastStatusTick_ = now;
    if (now - *lastStatusTick_ < 1000)
        return;
    lastStatusTick_ = now;
    const ProgressTexts t = computeProgress(bytesReceived_, contentLength_, now - startTick_);
    if (t.loaded)
        view_.loaded = *t.loaded;
    if (t.speed)
        view_.speed = *t.speed;
    if (t.remaining)
        view_.remaining = *t.remaining;
    if (t.percent)
        view_.done = *t.percent;
    view_.lengthKnown = t.lengthKnown;
    if (!t.lengthKnown)
        view_.bytes = t.bytesText;
    if (t.progress)
        view_.progress = *t.progress;
    if (t.tooltip)
        view_.trayTooltip = *t.tooltip;
    emit viewChanged();
}

void DownloadClient::finishStatus()
{
    const auto loaded = FormatSize(file_ ? file_->size() : 0);
    const auto total = FormatSize(contentLength_);
    if (loaded && total)
        view_.loaded = *loaded + " / " + *total;
    view_.speed = QStringLiteral("0 B/s");
    view_.remaining = QStringLiteral("00:00:00");
    view_.done = QStringLiteral("100%");
    view_.progress = 100;
}

void DownloadClient::onDisconnected()
{
    if (awaitingHeader_ && !headerBuffer_.isEmpty()) {
        fail(QStringLiteral("Error: Connection closed inside the response header"));
        return;
    }
    if (contentLength_ > 0 && bytesReceived_ < contentLength_) {
        fail(QStringLiteral("Error: Connection closed early, %1 of %2 bytes received")
                 .arg(bytesReceived_)
                 .arg(contentLength_));
        return;
    }
    setStatus(QStringLiteral("Status: Download Done, PCLD"));
    finishStatus();
    closeFile();
    dropSocket();
    finish(DownloadOutcome::Done);
}

void DownloadClient::onSocketError()
{
    if (!socket_ || socket_->error() == QAbstractSocket::RemoteHostClosedError)
        return; // the close itself is handled by onDisconnected
    const QString why = socket_->errorString();
    if (!connected_)
        fail(QStringLiteral("Error: Cannot connect to %1:%2 (%3)").arg(remote_.host, remote_.port, why));
    else
        fail(QStringLiteral("Error: Connection lost (%1)").arg(why));
}

void DownloadClient::closeFile()
{
    if (file_ && file_->isOpen())
        file_->close();
}

void DownloadClient::setStatus(const QString &status)
{
    view_.status = status;
    emit viewChanged();
}

// Ends the transfer with an error the status shows; the partial file stays
// and the user decides (a window keeps it open for cancelling).
void DownloadClient::fail(const QString &status)
{
    dropSocket();
    if (file_ && file_->isOpen())
        file_->flush();
    setStatus(status);
    finish(DownloadOutcome::Failed);
}

void DownloadClient::finish(DownloadOutcome outcome)
{
    if (outcome_ != DownloadOutcome::Running)
        return;
    outcome_ = outcome;
    emit ended(outcome);
}
