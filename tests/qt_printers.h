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
inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toStdString() << "\" (" << bytes.toHex(' ').toStdString() << ')';
}
