#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Failures print Qt's texts as text, not as the bytes of their objects. Every test source gets this
// header first (tests/CMakeLists.txt), so no comparison of texts can miss it.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
// Bytes outside printable ASCII as \xHH, so a packet prints whole and as it is.
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"';
    for (const char byte : bytes)
        if (byte >= ' ' && byte <= '~' && byte != '\\')
            *out << byte;
        else
            *out << "\\x" << QByteArray(1, byte).toHex().constData();
    *out << '"';
}
