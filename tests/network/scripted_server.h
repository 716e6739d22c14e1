#pragma once

#include "network/telnet_parser.h"

#include <QByteArray>
#include <QList>
#include <atomic>
#include <mutex>
#include <thread>

// A device server for the tests, on 127.0.0.1 and a free port, in a thread of its own: opening a port
// blocks the test's thread, so the server must answer without it. It greets each connection, records
// what arrives and sends what the test gives it. As a Telnet peer it splits data from messages with
// the client's parser; as a raw peer it records the bytes as they came.
class ScriptedServer
{
public:
    enum class Peer { Telnet, Raw };

    explicit ScriptedServer(QByteArray greeting, Peer peer = Peer::Telnet);
    ~ScriptedServer();

    quint16 Port() const { return port_; }
    void Send(const QByteArray& bytes);
    // Ends the connection with a TCP reset.
    void Reset();

    QByteArray Data();
    QList<TelnetMessage> Messages();
    int Connections() const { return connections_; }

private:
    void Serve();
    void Accept();
    void Read();
    void WritePending();

    QByteArray greeting_;
    Peer peer_;
    int listener_ = -1, client_ = -1;
    quint16 port_ = 0;
    std::atomic<int> connections_ = 0;
    std::atomic<bool> stop_ = false, reset_ = false;
    std::mutex mutex_; // guards what follows
    QByteArray pending_, data_;
    QList<TelnetMessage> messages_;
    TelnetParser parser_;
    std::thread thread_;
};
