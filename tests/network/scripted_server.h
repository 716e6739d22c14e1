#pragma once

#include "network/com_port_option.h"
#include "network/telnet_codec.h"
#include "network/telnet_parser.h"

#include <QStringList>
#include <QTcpServer>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <limits>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// A TCP port on 127.0.0.1 that nothing listens on at the moment.
inline quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// How a scripted server treats each connection after greeting it.
struct Script {
    enum class Drop { Never, Close, Reset };
    // Once the client has said something, the connection is closed or reset.
    Drop drop = Drop::Never;
    // Each SET-BAUDRATE, SET-DATASIZE, SET-PARITY and SET-STOPSIZE is answered with the value asked, as a
    // device server does; `speed`, when set, is answered to every speed instead.
    bool answersFormat = true;
    quint32 speed = 0;
    // A server that never reads lets the client's output pile up.
    bool reads = true;
};

// A device server on 127.0.0.1. Opening a network port blocks the test's thread, so a thread of its
// own takes each connection (a new one replaces the old), greets it and plays the script; it reads and
// writes without blocking, so that the test can hand it any amount to send and read what came.
class ScriptedServer
{
public:
    explicit ScriptedServer(QByteArray greeting, Script script = {})
        : greeting_(std::move(greeting))
        , script_(script)
        , readable_(script.reads ? std::numeric_limits<qint64>::max() : 0)
    {
        // Qt's listener, with its own accepting paused: the thread takes the connections.
        listener_.listen(QHostAddress::LocalHost);
        listener_.pauseAccepting();
        // One that does not read holds little for its client.
        const int smallBuffer = 4096;
        if (!script.reads)
            ::setsockopt(
                int(listener_.socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &smallBuffer, sizeof smallBuffer);
        (void)!::pipe(wake_);
        thread_ = std::thread([this] { Run(); });
    }
    ~ScriptedServer()
    {
        stop_ = true;
        Wake();
        thread_.join();
        for (const int fd : { client_, wake_[0], wake_[1] })
            ::close(fd);
    }

    quint16 Port() const { return listener_.serverPort(); }
    QString Url() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(Port()); }
    int Connections() const { return connections_; }
    // Queued behind what the current connection still has to get.
    void Send(const QByteArray& bytes) { Queue(bytes, Script::Drop::Never); }
    void Close() { Queue({}, Script::Drop::Close); }
    void Reset() { Queue({}, Script::Drop::Reset); }
    // A server that does not read takes this much more.
    void Read(qint64 bytes) { readable_ = bytes, Wake(); }
    QByteArray Received()
    {
        const std::lock_guard lock(mutex_);
        return received_;
    }
    // The COM-PORT-OPTION commands received so far, without their framing, in hex.
    QStringList ComPortCommands()
    {
        QStringList commands;
        TelnetParser parser;
        for (const TelnetMessage& message : ComPortMessages(Received(), parser))
            commands << message.payload.toHex(' ');
        return commands;
    }

private:
    static QList<TelnetMessage> ComPortMessages(QByteArrayView bytes, TelnetParser& parser)
    {
        QByteArray data;
        QList<TelnetMessage> messages;
        parser.Feed(bytes, data, messages);
        messages.removeIf(
            [](const TelnetMessage& m) { return m.verb != TelnetSb || m.option != TelnetComPort; });
        return messages;
    }
    bool Sending()
    {
        const std::lock_guard lock(mutex_);
        return !output_.isEmpty() || dropWhenSent_ != Script::Drop::Never;
    }
    void Wake() { (void)!::write(wake_[1], "", 1); }
    void Queue(const QByteArray& bytes, Script::Drop drop)
    {
        const std::lock_guard lock(mutex_);
        output_ += bytes;
        dropWhenSent_ = drop == Script::Drop::Never ? dropWhenSent_ : drop;
        Wake();
    }

    void Run()
    {
        const int listener = int(listener_.socketDescriptor());
        while (!stop_) {
            const bool sending = Sending();
            pollfd fds[] = { { listener, POLLIN, 0 }, { wake_[0], POLLIN, 0 },
                { client_, short((readable_ > 0 ? POLLIN : 0) | (sending ? POLLOUT : 0)), 0 } };
            ::poll(fds, client_ < 0 ? 2 : 3, -1);
            char drained[64];
            if (fds[1].revents)
                (void)!::read(wake_[0], drained, sizeof drained);
            if (fds[0].revents)
                Accept(listener);
            else if (client_ >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR)))
                Read();
            if (client_ >= 0 && (fds[2].revents & POLLOUT))
                Write();
        }
    }
    void Accept(int listener)
    {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK);
        if (client < 0)
            return;
        // What was sent while there was no connection waits for this one; the last one's rest is lost with
        // it.
        const bool replacing = client_ >= 0;
        ::close(std::exchange(client_, client));
        parser_ = {};
        const std::lock_guard lock(mutex_);
        received_.clear();
        output_ = greeting_ + (replacing ? QByteArray() : output_);
        dropWhenSent_ = Script::Drop::Never;
        ++connections_;
    }
    void Read()
    {
        char chunk[65536];
        const ssize_t got = ::recv(client_, chunk, std::min<qint64>(sizeof chunk, readable_), 0);
        if (got < 0 && errno == EAGAIN)
            return;
        if (got <= 0)
            return Drop(Script::Drop::Close);
        readable_ -= got;
        const QByteArrayView bytes(chunk, got);
        QByteArray answers;
        for (const TelnetMessage& message : ComPortMessages(bytes, parser_))
            answers += Answer(message.payload);
        const std::lock_guard lock(mutex_);
        received_ += bytes;
        output_ += answers;
        if (script_.drop != Script::Drop::Never)
            dropWhenSent_ = script_.drop;
    }
    QByteArray Answer(const QByteArray& request) const
    {
        const quint8 command = quint8(request[0]);
        if (!script_.answersFormat || command < SetBaudRate || command > SetStopSize)
            return {};
        QByteArray value = request.mid(1);
        if (command == SetBaudRate && script_.speed)
            qToBigEndian(script_.speed, value.data());
        return ComPortMessage(command + ComPortAnswerOffset, value);
    }
    void Write()
    {
        const std::lock_guard lock(mutex_);
        const ssize_t sent = ::send(client_, output_.constData(), output_.size(), MSG_NOSIGNAL);
        output_.remove(0, std::max<ssize_t>(sent, 0));
        if (output_.isEmpty() && dropWhenSent_ != Script::Drop::Never)
            Drop(std::exchange(dropWhenSent_, Script::Drop::Never));
    }
    void Drop(Script::Drop how)
    {
        if (how == Script::Drop::Reset) {
            const linger now { 1, 0 };
            ::setsockopt(client_, SOL_SOCKET, SO_LINGER, &now, sizeof now);
        }
        ::close(std::exchange(client_, -1));
    }

    const QByteArray greeting_;
    const Script script_;
    QTcpServer listener_;
    int wake_[2] = { -1, -1 };
    int client_ = -1; // the thread's own
    TelnetParser parser_;
    std::atomic<bool> stop_ = false;
    std::atomic<qint64> readable_;
    std::atomic<int> connections_ = 0;
    std::mutex mutex_;
    QByteArray received_, output_;
    Script::Drop dropWhenSent_ = Script::Drop::Never;
    std::thread thread_;
};
