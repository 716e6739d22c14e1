#include "serial/port_settings_text.h"

QString PortSettingsText(
    const QString& speedText, int parityPosition, int dataBitsPosition, int stopBitsPosition)
{
    static const char* const kParities[] = { ",N", ",O", ",E", ",S", ",M" };
    QString text = speedText;
    if (parityPosition >= 0 && parityPosition < 5)
        text += QLatin1String(kParities[parityPosition]);
    text += QLatin1Char(',') + QString::number(dataBitsPosition + 5);
    if (stopBitsPosition == 0 || stopBitsPosition == 1)
        text += stopBitsPosition == 0 ? QLatin1String(",1") : QLatin1String(",2");
    return text;
}
