#pragma once

#include <QString>
#include <QStringView>
#include <optional>

enum class PortParity { None, Odd, Even, Space, Mark };

struct PortSettings {
    qint32 speed = 9600;
    PortParity parity = PortParity::None;
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const PortSettings&) const = default;
};

// Reads "speed,parity,data,stop", as "9600,N,8,1": any positive whole speed in plain digits, parity
// one of N O E S M in either case, 5 to 8 data bits, 1 or 2 stop bits. Nothing for any other text.
std::optional<PortSettings> ParsePortSettings(QStringView text);

// Why a port refuses a settings text, for a person to read.
QString UnusableSettingsText(const QString& settings);
