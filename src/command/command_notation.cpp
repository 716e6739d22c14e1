#include "command/command_notation.h"

#include "common/lenient_number.h"

namespace
{

// The value of a pair is that of "&h0" followed by it, so a pair that does not
// start with a hexadecimal digit is 0 and blanks inside it are read through.
char HexPairValue(QByteArrayView pair)
{
    QByteArray prefixed = QByteArrayLiteral("&h0");
    prefixed.append(pair);
    return static_cast<char>(static_cast<int>(LenientNumber(prefixed)));
}

std::optional<char> EscapeValue(QByteArrayView escape)
{
    const double value = RoundHalfEven(LenientNumber(escape));
    if (!(value >= 0 && value <= 255))
        return std::nullopt;
    return static_cast<char>(static_cast<int>(value));
}

} // namespace

QByteArray HexNotationBytes(const QByteArray& text)
{
    QByteArray bytes;
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        bytes.append(
            HexPairValue(QByteArrayView(text).sliced(pos, std::min<qsizetype>(2, text.size() - pos))));
        pos += 2;
    }
    return bytes;
}

// The escape's number is read from the rest of the whole text, but the reader
// can never pass a ">", so reading only up to the closing ">" gives the same
// value and keeps a text of many escapes linear.
std::optional<QByteArray> EscapedBytes(const QByteArray& text)
{
    QByteArray bytes;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf('<', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf('>', open + 1);
        if (close < 0)
            return bytes.append(QByteArrayView(text).sliced(pos));
        bytes.append(QByteArrayView(text).sliced(pos, open - pos));
        const std::optional<char> value
            = EscapeValue(QByteArrayView(text).sliced(open + 1, close - open - 1));
        if (!value)
            return std::nullopt;
        bytes.append(*value);
        pos = close + 1;
    }
    return bytes;
}
