#pragma once

#include <QByteArray>
#include <QList>
#include <atomic>
#include <mutex>
#include <thread>
#include <unistd.h>

// A device server for the tests on 127.0.0.1, in a thread of its own, since opening a network port
// blocks the test's thread. It greets each connection (a new one replaces the old), keeps what
// arrives, and sends what the test gives it.
class ScriptedServer
{
public:
    explicit ScriptedServer(QByteArray greeting);
    ~ScriptedServer();

    quint16 Port() const { return port_; }
    void Send(const QByteArray& bytes) { (void)!::write(client_, bytes.data(), bytes.size()); }
    // Ends the connection with a TCP reset.
    void Reset() { reset_ = true; }
    QByteArray Received();
    // The COM-PORT-OPTION commands that arrived, without their framing.
    QList<QByteArray> ComPortCommands();
    int Connections() const { return connections_; }

private:
    void Serve();

    QByteArray greeting_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<int> client_ = -1, connections_ = 0;
    std::atomic<bool> stop_ = false, reset_ = false;
    std::mutex mutex_; // guards received_
    QByteArray received_;
    std::thread thread_;
};
