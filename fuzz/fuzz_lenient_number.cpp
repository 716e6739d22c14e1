// LenientNumber and IsWholeNumber on any text: the result is finite, a character
// that cannot continue a number changes nothing, blanks change nothing, plain
// decimals agree with the C library, and every value survives the way numbers
// are written back (PlainNumber).
#include "common/lenient_number.h"
#include "common/plain_number.h"
#include "fuzz_check.h"

#include <QString>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// A text of sign, digits, point and exponent only is what strtod reads too (D
// exponents aside); where neither overflows nor underflows, both must round the
// same decimal to the same double.
void CompareWithStrtod(QStringView text, double value)
{
    std::string plain;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (IsBlank(c))
            continue;
        if (u == u'd' || u == u'D')
            plain += 'e';
        else if ((u >= u'0' && u <= u'9') || u == u'.' || u == u'+' || u == u'-' || u == u'e' || u == u'E')
            plain += char(u);
        else
            return;
    }
    errno = 0;
    const double expected = std::strtod(plain.c_str(), nullptr);
    if (errno != 0 || !std::isfinite(expected) || (expected != 0 && std::fabs(expected) < DBL_MIN))
        return;
    FUZZ_CHECK(value == expected);
}

// Reads an exactly sized copy, so ASan sees any read past the end of the text.
struct ExactText {
    explicit ExactText(QStringView text)
        : units(new char16_t[text.size() + 1])
        , size(text.size())
    {
        std::memcpy(units.get(), text.utf16(), size * sizeof(char16_t));
    }
    QStringView view() const { return QStringView(units.get(), size); }
    std::unique_ptr<char16_t[]> units;
    qsizetype size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromLatin1(bytes);
    const ExactText exact(text);
    const double value = LenientNumber(exact.view());
    const bool whole = IsWholeNumber(exact.view());
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(LenientNumber(bytes) == value);

    // "x" continues no number; a blank at the end is ignored like any other.
    FUZZ_CHECK(LenientNumber(text + u'x') == value);
    FUZZ_CHECK(!IsWholeNumber(text + u'x'));
    FUZZ_CHECK(IsWholeNumber(text + u' ') == whole);
    QString withoutBlanks = text;
    withoutBlanks.removeIf(IsBlank);
    FUZZ_CHECK(LenientNumber(withoutBlanks) == value);
    FUZZ_CHECK(IsWholeNumber(withoutBlanks) == whole);

    CompareWithStrtod(text, value);
    FUZZ_CHECK(LenientNumber(PlainNumber(value)) == value);

    // Any finite double, not only those a text gives, must survive being written.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        if (std::isfinite(raw))
            FUZZ_CHECK(LenientNumber(PlainNumber(raw)) == raw);
    }

    // The same bytes as UTF-16, for characters beyond Latin-1.
    const ExactText wide(QStringView(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2)));
    FUZZ_CHECK(std::isfinite(LenientNumber(wide.view())));
    IsWholeNumber(wide.view());
    return 0;
}
