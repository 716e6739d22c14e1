#include "serial/port_settings.h"

#include <QList>
#include <algorithm>

namespace
{

std::optional<qint32> ReadSpeed(QStringView field)
{
    const bool digitsOnly = !field.isEmpty()
        && std::all_of(field.begin(), field.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool fits = false;
    const qint32 speed = digitsOnly ? field.toInt(&fits) : 0;
    if (!fits || speed <= 0)
        return std::nullopt;
    return speed;
}

std::optional<PortParity> ReadParity(QStringView field)
{
    if (field.size() != 1)
        return std::nullopt;
    switch (field.front().toUpper().unicode()) {
    case u'N':
        return PortParity::None;
    case u'O':
        return PortParity::Odd;
    case u'E':
        return PortParity::Even;
    case u'S':
        return PortParity::Space;
    case u'M':
        return PortParity::Mark;
    }
    return std::nullopt;
}

// A single digit from low to high.
std::optional<int> ReadDigit(QStringView field, int low, int high)
{
    if (field.size() != 1)
        return std::nullopt;
    const int value = field.front().unicode() - u'0';
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<PortSettings> ParsePortSettings(QStringView text)
{
    const QList<QStringView> fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    const std::optional<qint32> speed = ReadSpeed(fields[0]);
    const std::optional<PortParity> parity = ReadParity(fields[1]);
    const std::optional<int> dataBits = ReadDigit(fields[2], 5, 8);
    const std::optional<int> stopBits = ReadDigit(fields[3], 1, 2);
    if (!speed || !parity || !dataBits || !stopBits)
        return std::nullopt;
    return PortSettings { *speed, *parity, *dataBits, *stopBits };
}

QString UnusableSettingsText(const QString& settings)
{
    return QStringLiteral(
        "the settings \"%1\" cannot be used; they must be speed,parity,data bits,stop bits, "
        "as in 9600,N,8,1.")
        .arg(settings);
}
