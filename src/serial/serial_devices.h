#pragma once

#include "serial/port_map.h"

#include <QString>
#include <QStringList>
#include <optional>

// A serial device that is there now, as the system describes it.
struct SerialDevice {
    QString path; // /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId; // USB only
    std::optional<quint16> productId;
    QString byId; // its /dev/serial/by-id/ name, or empty where it has none

    bool operator==(const SerialDevice&) const = default;
};

// Where udev keeps a link for each USB serial device, named after the adapter and its serial number.
inline constexpr auto kSerialByIdFolder = "/dev/serial/by-id";

// The link in `byIdFolder` that leads to `devicePath`, as a path in that folder; empty where none does.
// Of several links to one device, the first by name.
QString ByIdName(const QString& devicePath, const QString& byIdFolder);

// What a COM port is given when the operator picks the device: its by-id name, which stays the same
// whichever USB socket the adapter is in, or else its path.
QString MapPathOf(const SerialDevice& device);

// The cells of the device's row in the ports dialog: device, description, manufacturer, serial number,
// USB vendor and product id (four hex digits), by-id name.
QStringList DeviceCells(const SerialDevice& device);

// What COM `port` stands for in the map: its entry, or the default device it falls back to.
QString StandsForText(const PortMap& map, int port);
