#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Which device each COM port number stands for. On Windows COMn is "COMn"; elsewhere the path of a
// map entry, or /dev/ttyS<n-1> by default.
// The COM port numbers the port list offers, and why any other number cannot be used.
inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 16;
QString NoSuchComPortText(int port);

class PortMap {
public:
    QString DevicePath(int port) const;
    // Ports 1 to 16; other numbers are ignored. An empty path puts the default device back.
    void SetPath(int port, const QString& path);
    const QMap<int, QString>& Entries() const { return entries_; }

    // Reads the lines "COMn=<path>" (n 1-16, key compared exactly, CR LF or LF line ends) of a
    // settings file's bytes (Windows-1252); other lines are ignored. A later line for a port wins.
    static PortMap FromSettingsBytes(const QByteArray& bytes);

private:
    QMap<int, QString> entries_;
};
