#include "ser2net_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QThread>

namespace
{

// Whether /proc/net/tcp has a listening socket on 127.0.0.1:port. Asking there, rather than
// connecting, leaves ser2net's one connection free for the test.
bool Listening(quint16 port)
{
    QFile table("/proc/net/tcp");
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
            return true;
    }
    return false;
}

} // namespace

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

bool Ser2netProcess::Start(const QString& device, quint16 port, Accepter accepter)
{
    port_ = port ? port : FreeLoopbackPort();
    const QString config = folder_.filePath("ser2net.yaml");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const char* kind = accepter == Accepter::Rfc2217 ? "telnet(rfc2217),tcp" : "tcp";
    // Without chardelay ser2net sends what the device gives at once, instead of gathering it for up
    // to 20 ms in the hope of more.
    file.write(QStringLiteral(
        "connection: &c1\n  accepter: %1,127.0.0.1,%2\n  connector: serialdev,%3,9600n81,local\n"
        "  options:\n    chardelay: false\n")
                   .arg(kind)
                   .arg(port_)
                   .arg(QFileInfo(device).canonicalFilePath())
                   .toUtf8());
    file.close();
    process_.start("ser2net", { "-n", "-u", "-c", config });
    if (!process_.waitForStarted(5000))
        return false;
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(10))
        if (Listening(port_))
            return true;
    return false;
}

void Ser2netProcess::Kill()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished(5000);
}
