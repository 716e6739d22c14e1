#pragma once

#include "network/telnet_codec.h"
#include "network/telnet_parser.h"

#include <QStringList>
#include <QTcpServer>
#include <atomic>
#include <fcntl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// A TCP port on 127.0.0.1 that nothing listens on at the moment.
inline quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// A device server on 127.0.0.1. Opening a network port blocks the test's thread, so a thread of its
// own takes each connection (a new one replaces the old) and greets it; the test itself reads and
// writes the current connection.
class ScriptedServer
{
public:
    explicit ScriptedServer(QByteArray greeting)
        : greeting_(std::move(greeting))
    {
        // Qt's listener, with its own accepting paused: the thread takes the connections, blocking.
        listener_.listen(QHostAddress::LocalHost);
        listener_.pauseAccepting();
        const int fd = int(listener_.socketDescriptor());
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        thread_ = std::thread([this, fd] {
            for (int client; (client = ::accept(fd, nullptr, nullptr)) >= 0;) {
                ::close(client_.exchange(client));
                ++connections_;
                (void)!::write(client, greeting_.data(), greeting_.size());
            }
        });
    }
    // Shutting the listener down ends the thread's accept().
    ~ScriptedServer()
    {
        ::shutdown(int(listener_.socketDescriptor()), SHUT_RDWR);
        thread_.join();
        ::close(client_);
    }

    quint16 Port() const { return listener_.serverPort(); }
    QString Url() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(Port()); }
    int Connections() const { return connections_; }
    void Send(const QByteArray& bytes) { (void)!::write(client_, bytes.data(), bytes.size()); }
    void Close() { ::close(client_.exchange(-1)); }
    QByteArray Received()
    {
        char chunk[4096];
        for (ssize_t got; (got = ::recv(client_, chunk, sizeof chunk, MSG_DONTWAIT)) > 0;)
            received_.append(chunk, got);
        return received_;
    }
    // The COM-PORT-OPTION commands received so far, without their framing, in hex.
    QStringList ComPortCommands()
    {
        QByteArray data;
        QList<TelnetMessage> messages;
        TelnetParser().Feed(Received(), data, messages);
        QStringList commands;
        for (const TelnetMessage& message : messages)
            if (message.verb == TelnetSb && message.option == TelnetComPort)
                commands << message.payload.toHex(' ');
        return commands;
    }

private:
    QByteArray greeting_;
    QTcpServer listener_;
    std::atomic<int> client_ = -1, connections_ = 0;
    QByteArray received_;
    std::thread thread_;
};
