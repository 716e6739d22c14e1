#pragma once

#include <QString>

// The address box read as framing needs it: the leading number, rounded
// half-to-even, held inside the 64-bit range so that its low bits are defined.
qint64 AddressNumber(QStringView addressText);
