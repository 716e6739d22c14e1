#include "common/plain_number.h"

#include <QLocale>

QString PlainNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}
