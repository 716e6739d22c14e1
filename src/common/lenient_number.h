#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <optional>

// Reads the number at the start of a text the way every numeric box and
// settings value is read: blanks anywhere are ignored, "&H"/"&O" prefixes give
// hexadecimal/octal, otherwise sign, digits, "." decimals and an E or D
// exponent. Reading stops at the first character that cannot continue the
// number; no digits give 0. Independent of the locale. Never infinite: an
// overflowing value saturates at the largest finite double.
double LenientNumber(QStringView text);
double LenientNumber(QByteArrayView text);

// True when the whole text, blanks aside, is one number of LenientNumber's
// grammar (at least one digit, nothing left over).
bool IsWholeNumber(QStringView text);

// A real number to the nearest integer, exact halves to the even neighbour.
double RoundHalfEven(double value);

// RoundHalfEven, then the 16-bit range check that a VB Integer would make.
std::optional<qint16> RoundToInt16(double value);
