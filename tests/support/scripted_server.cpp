#include "support/scripted_server.h"

#include <QTcpSocket>
#include <QTimer>

namespace testsupport {

ScriptedServer::ScriptedServer(std::vector<Script> scripts) : scripts_(std::move(scripts))
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            const std::size_t index = connections_++;
            static const Script closeAtOnce{Step::close()};
            const Script &script = scripts_.empty() ? closeAtOnce : scripts_[std::min(index, scripts_.size() - 1)];
            requests.append(QByteArray());
            auto started = std::make_shared<bool>(false);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, index, &script, started] {
                requests[static_cast<qsizetype>(index)] += socket->readAll();
                if (!*started && requests[static_cast<qsizetype>(index)].contains("\r\n\r\n")) {
                    *started = true;
                    serve(socket, script, 0);
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QByteArray ScriptedServer::url(const QByteArray &path) const
{
    return "http://127.0.0.1:" + QByteArray::number(port()) + path;
}

void ScriptedServer::serve(QTcpSocket *socket, const Script &script, std::size_t step)
{
    for (; step < script.size(); ++step) {
        const Step &s = script[step];
        switch (s.kind) {
        case Step::Send:
            socket->write(s.bytes);
            socket->flush();
            break;
        case Step::Pause:
            QTimer::singleShot(s.milliseconds, socket, [this, socket, &script, step] { serve(socket, script, step + 1); });
            return;
        case Step::Close:
            socket->disconnectFromHost();
            return;
        case Step::Stall:
            return;
        }
    }
    socket->disconnectFromHost();
}

} // namespace testsupport
