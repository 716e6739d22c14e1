#include "serial/port_map.h"

#include "common/bytes.h"

#include <optional>

namespace {

// The port number of a key spelt exactly "COM1" to "COM16".
std::optional<int> PortOfKey(QByteArrayView key)
{
    for (int port = kFirstComPort; port <= kLastComPort; ++port) {
        if (key == "COM" + QByteArray::number(port))
            return port;
    }
    return std::nullopt;
}

} // namespace

QString NoSuchComPortText(int port)
{
    return QStringLiteral("COM%1: no such port; the ports are COM%2 to COM%3.")
        .arg(port)
        .arg(kFirstComPort)
        .arg(kLastComPort);
}

QString PortMap::DevicePath(int port) const
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return entries_.value(port, QStringLiteral("/dev/ttyS%1").arg(port - 1));
#endif
}

void PortMap::SetPath(int port, const QString& path)
{
    if (port < kFirstComPort || port > kLastComPort)
        return;
    if (path.isEmpty())
        entries_.remove(port);
    else
        entries_.insert(port, path);
}

PortMap PortMap::FromSettingsBytes(const QByteArray& bytes)
{
    PortMap map;
    for (QByteArrayView line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        if (const std::optional<int> port = PortOfKey(line.first(equals)))
            map.SetPath(*port, FromWindows1252(line.sliced(equals + 1)));
    }
    return map;
}
