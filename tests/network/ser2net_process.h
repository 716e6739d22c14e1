#pragma once

#include <QProcess>
#include <QTemporaryDir>

// ser2net as a child process in the foreground, with a configuration of its own: one RFC 2217
// accepter on 127.0.0.1 in front of one serial device (a pseudo-terminal in the tests).
class Ser2netProcess
{
public:
    ~Ser2netProcess() { Kill(); }

    // Starts it and waits until it listens; `port` 0 takes a free one. False when it does not start.
    bool Start(const QString& device, quint16 port = 0);
    // SIGKILL: the server vanishes at once, as when its machine fails.
    void Kill() { process_.kill(), process_.waitForFinished(5000); }

    quint16 Port() const { return port_; }
    QString Url() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port_); }
    QByteArray Errors() { return process_.readAllStandardError(); }

private:
    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
};

// A TCP port on 127.0.0.1 that nothing listens on at the moment.
quint16 FreeLoopbackPort();
