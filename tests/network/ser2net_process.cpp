#include "ser2net_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QThread>

namespace
{

// Whether /proc/net/tcp has a socket listening on 127.0.0.1:port. Asking there, rather than
// connecting, leaves ser2net's one connection free for the test.
bool Listening(quint16 port)
{
    QFile table("/proc/net/tcp");
    const QByteArray local = QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    return table.open(QIODevice::ReadOnly)
        && table.readAll().contains(" 0100007F:" + local + " 00000000:0000 0A ");
}

} // namespace

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

bool Ser2netProcess::Start(const QString& device, quint16 port)
{
    port_ = port ? port : FreeLoopbackPort();
    QFile config(folder_.filePath("ser2net.yaml"));
    // Without chardelay ser2net sends what the device gives at once, instead of gathering it for up
    // to 20 ms in the hope of more.
    const QString text = "connection: &c1\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                         "  connector: serialdev,%2,9600n81,local\n  options:\n    chardelay: false\n";
    if (!config.open(QIODevice::WriteOnly)
        || config.write(text.arg(port_).arg(QFileInfo(device).canonicalFilePath()).toUtf8()) < 0)
        return false;
    config.close();
    process_.start("ser2net", { "-n", "-u", "-c", config.fileName() });
    if (!process_.waitForStarted(5000))
        return false;
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(10))
        if (Listening(port_))
            return true;
    return false;
}
