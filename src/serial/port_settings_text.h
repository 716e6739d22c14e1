#pragma once

#include <QString>

// The settings text given to the port: the speed text as shown, then the
// parity, data-bit and stop-bit fields by the list positions of their boxes.
// A parity or stop-bit position outside its list leaves that field out; no
// data-bit selection (-1) gives 4 data bits.
QString PortSettingsText(
    const QString& speedText, int parityPosition, int dataBitsPosition, int stopBitsPosition);
