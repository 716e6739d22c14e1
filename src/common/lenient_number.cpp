#include "common/lenient_number.h"

#include <QByteArray>
#include <QString>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// Hands out the characters of a text with blanks skipped.
class BlankSkipper {
public:
    explicit BlankSkipper(QStringView text) : text_(text) { skipBlanks(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : text_[pos_].unicode(); }
    void next()
    {
        ++pos_;
        skipBlanks();
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && IsBlank(text_[pos_].unicode()))
            ++pos_;
    }
    QStringView text_;
    qsizetype pos_ = 0;
};

int DigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return 99;
}

double Saturate(double value)
{
    if (std::isfinite(value))
        return value;
    if (std::isnan(value))
        return 0.0;
    return value > 0 ? DBL_MAX : -DBL_MAX;
}

struct NumberRead {
    double value = 0.0;
    bool hasDigits = false;
};

NumberRead ReadRadix(BlankSkipper& in, int radix)
{
    NumberRead read;
    while (!in.atEnd() && DigitValue(in.peek()) < radix) {
        read.value = read.value * radix + DigitValue(in.peek());
        read.hasDigits = true;
        in.next();
    }
    read.value = Saturate(read.value);
    return read;
}

struct DecimalParse {
    QByteArray normalized; // "-123.45e+6" in C notation
    int digits = 0;
};

void CopyDigits(BlankSkipper& in, DecimalParse& out)
{
    while (!in.atEnd() && in.peek() >= u'0' && in.peek() <= u'9') {
        out.normalized.append(char(in.peek()));
        ++out.digits;
        in.next();
    }
}

// The exponent is kept only when it has digits: "1E" and "1E+" read as 1.
void CopyExponent(BlankSkipper& in, DecimalParse& out)
{
    const char16_t marker = in.peek();
    if (marker != u'e' && marker != u'E' && marker != u'd' && marker != u'D')
        return;
    in.next();
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.next();
    }
    qint64 exponent = 0;
    bool any = false;
    while (!in.atEnd() && in.peek() >= u'0' && in.peek() <= u'9') {
        exponent = std::min<qint64>(exponent * 10 + (in.peek() - u'0'), 99999);
        any = true;
        in.next();
    }
    if (any)
        out.normalized.append('e').append(negative ? "-" : "").append(QByteArray::number(exponent));
}

// The power of ten of the leading significant digit of C notation ("250" is
// 2, "0.03" is -2); decides whether an out-of-range value overflowed.
qint64 DecimalMagnitude(const QByteArray& normalized)
{
    const qsizetype e = normalized.indexOf('e');
    const QByteArray mantissa = e < 0 ? normalized : normalized.left(e);
    const qint64 exponent = e < 0 ? 0 : normalized.mid(e + 1).toLongLong();
    const qsizetype point = mantissa.contains('.') ? mantissa.indexOf('.') : mantissa.size();
    for (qsizetype i = 0; i < mantissa.size(); ++i) {
        if (mantissa[i] >= '1' && mantissa[i] <= '9')
            return exponent + (i < point ? point - i - 1 : point - i);
    }
    return 0;
}

// Converts C notation without the locale; out-of-range values saturate.
double ParseC(const QByteArray& normalized)
{
    double value = 0;
    const char* begin = normalized.constData();
    const auto [ptr, ec] = std::from_chars(begin, begin + normalized.size(), value);
    if (ec != std::errc::result_out_of_range)
        return value;
    const bool negative = normalized.startsWith('-');
    if (DecimalMagnitude(normalized) < 0)
        return negative ? -0.0 : 0.0;
    return negative ? -DBL_MAX : DBL_MAX;
}

NumberRead ReadDecimal(BlankSkipper& in)
{
    DecimalParse parse;
    if (in.peek() == u'+' || in.peek() == u'-') {
        if (in.peek() == u'-')
            parse.normalized.append('-');
        in.next();
    }
    CopyDigits(in, parse);
    if (in.peek() == u'.') {
        parse.normalized.append('.');
        in.next();
        CopyDigits(in, parse);
    }
    if (parse.digits == 0)
        return {};
    CopyExponent(in, parse);
    return {ParseC(parse.normalized), true};
}

NumberRead ReadNumber(BlankSkipper& in)
{
    if (in.peek() == u'&') {
        in.next();
        const char16_t prefix = in.peek();
        if (prefix == u'h' || prefix == u'H') {
            in.next();
            return ReadRadix(in, 16);
        }
        if (prefix == u'o' || prefix == u'O') {
            in.next();
            return ReadRadix(in, 8);
        }
        return {};
    }
    return ReadDecimal(in);
}

} // namespace

double LenientNumber(QStringView text)
{
    BlankSkipper in(text);
    return ReadNumber(in).value;
}

double LenientNumber(QByteArrayView text)
{
    return LenientNumber(QString::fromLatin1(text));
}

bool IsWholeNumber(QStringView text)
{
    BlankSkipper in(text);
    const NumberRead read = ReadNumber(in);
    return read.hasDigits && in.atEnd();
}

double RoundHalfEven(double value)
{
    // The default floating-point rounding mode is to nearest, ties to even.
    return std::nearbyint(value);
}

std::optional<qint16> RoundToInt16(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(rounded);
}
