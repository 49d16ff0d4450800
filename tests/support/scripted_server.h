// An HTTP server on 127.0.0.1 that plays a script per connection: it waits
// for the request's empty line, then sends, pauses and closes as told.
#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

#include <vector>

namespace testsupport {

struct Step {
    enum Kind { Send, Pause, Close, Stall } kind;
    QByteArray bytes;
    int milliseconds = 0;

    static Step send(const QByteArray &b) { return {Send, b, 0}; }
    static Step pause(int ms) { return {Pause, {}, ms}; }
    static Step close() { return {Close, {}, 0}; }
    static Step stall() { return {Stall, {}, 0}; } // keep the connection open, say nothing
};
using Script = std::vector<Step>;

class ScriptedServer : public QTcpServer {
    Q_OBJECT
public:
    // One script per connection, in order; the last one serves any further
    // connections.
    explicit ScriptedServer(std::vector<Script> scripts = {});
    // For scripts that must name a port known only after listening.
    void setScripts(std::vector<Script> scripts) { scripts_ = std::move(scripts); }
    quint16 port() const { return serverPort(); }
    QByteArray url(const QByteArray &path) const;

    // What each connection sent, in order.
    QList<QByteArray> requests;

private:
    void serve(QTcpSocket *socket, const Script &script, std::size_t step);

    std::vector<Script> scripts_;
    std::size_t connections_ = 0;
};

} // namespace testsupport
