#pragma once

#include <QByteArray>
#include <QString>

// Command text, packets and answers are strings of single bytes in the
// Windows-1252 code page. Qt has no guaranteed codec for it, so we keep our own
// table for 0x80 to 0x9F; the five bytes that code page leaves undefined map to
// the C1 control characters of the same value, so all 256 bytes round-trip.

// A character that the code page cannot represent becomes "?".
QByteArray ToWindows1252(QStringView text);
QString FromWindows1252(QByteArrayView bytes);

// Every byte as two upper-case hexadecimal digits followed by one space.
QString HexText(QByteArrayView bytes);
