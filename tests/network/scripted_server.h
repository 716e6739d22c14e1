#pragma once

#include "network/telnet_parser.h"

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>

// A device server for the tests on 127.0.0.1, in a thread of its own, since opening a network port
// blocks the test's thread. It greets each connection (a new one replaces the old), keeps what
// arrives, and sends what the test gives it.
class ScriptedServer
{
public:
    explicit ScriptedServer(QByteArray greeting);
    ~ScriptedServer();

    quint16 Port() const { return port_; }
    void Send(const QByteArray& bytes);
    // Ends the connection with a TCP reset.
    void Reset() { reset_ = true; }
    QByteArray Received();
    // What arrived, read as Telnet: the data, and the COM-PORT-OPTION commands without their framing.
    QByteArray Data(QList<TelnetMessage>* messages = nullptr);
    QList<QByteArray> ComPortCommands();
    int Connections() const { return connections_; }

private:
    void Serve();

    QByteArray greeting_;
    int listener_ = -1, client_ = -1;
    quint16 port_ = 0;
    std::atomic<int> connections_ = 0;
    std::atomic<bool> stop_ = false, reset_ = false;
    std::mutex mutex_; // guards pending_ and received_
    QByteArray pending_, received_;
    std::thread thread_;
};
