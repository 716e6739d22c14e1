#pragma once

#include "scripted_server.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

// ser2net as a child process in the foreground, with a configuration of its own: one RFC 2217
// accepter on 127.0.0.1 in front of one serial device (a pseudo-terminal in the tests, or a path
// where there is none).
class Ser2netProcess
{
public:
    ~Ser2netProcess() { process_.kill(), process_.waitForFinished(5000); }

    // Starts it and waits until it listens; false when it does not.
    bool Start(const QString& device)
    {
        // One line of YAML per '#'. Without chardelay ser2net sends what the device gives at once,
        // instead of gathering it for up to 20 ms in the hope of more.
        const QString config = "connection: &c1#  accepter: telnet(rfc2217),tcp,127.0.0.1,%1#"
                               "  connector: serialdev,%2,9600n81,local#  options:#    chardelay: false";
        // A device that does not exist is named as it is: ser2net then fails to open it per connection.
        const QString path = QFileInfo(device).canonicalFilePath();
        process_.start(
            "ser2net", { "-n", "-u", "-Y", config.arg(port_).arg(path.isEmpty() ? device : path) });
        // Asking /proc/net/tcp, rather than connecting, leaves ser2net's one connection to the test.
        const auto listening = [this] {
            QFile table("/proc/net/tcp");
            const QByteArray local = QByteArray::number(port_, 16).toUpper().rightJustified(4, '0');
            return table.open(QIODevice::ReadOnly)
                && table.readAll().contains(" 0100007F:" + local + " 00000000:0000 0A ");
        };
        return QTest::qWaitFor(listening, 5000);
    }
    QString Url() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port_); }
    QByteArray Errors() { return process_.readAllStandardError(); }

private:
    QProcess process_;
    quint16 port_ = FreeLoopbackPort();
};
