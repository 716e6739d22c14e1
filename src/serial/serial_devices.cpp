#include "serial/serial_devices.h"

#include <QDir>
#include <QFileInfo>

namespace
{

QString HexId(std::optional<quint16> id)
{
    return id ? QStringLiteral("%1").arg(*id, 4, 16, QLatin1Char('0')) : QString();
}

} // namespace

QString ByIdName(const QString& devicePath, const QString& byIdFolder)
{
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty())
        return {};
    const QDir folder(byIdFolder);
    for (const QString& name : folder.entryList(QDir::System | QDir::Files, QDir::Name)) {
        if (QFileInfo(folder.filePath(name)).canonicalFilePath() == device)
            return folder.filePath(name);
    }
    return {};
}

QString MapPathOf(const SerialDevice& device)
{
    return device.byId.isEmpty() ? device.path : device.byId;
}

QStringList DeviceCells(const SerialDevice& device)
{
    return { device.path, device.description, device.manufacturer, device.serialNumber,
        HexId(device.vendorId), HexId(device.productId), device.byId };
}

QString StandsForText(const PortMap& map, int port)
{
    const QString path = map.DevicePath(port);
    return map.Entries().contains(port) ? path : path + QStringLiteral(" (default)");
}
