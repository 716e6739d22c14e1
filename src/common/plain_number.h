#pragma once

#include <QString>

// A number as a plain decimal text: no exponent, as many decimals as needed,
// none for a whole number ("2", "1.5", "-1").
QString PlainNumber(double value);
