// Fifty file steps over any file text (Windows-1252 bytes) and any display length
// from -5 to 200, each scrolling or in pieces as a bit of the input says, with the
// file reopened when a step finds it used up. Every step ends, and the kept texts
// stay within twice the display length: a counted position holds at most one mark
// and one character before it, plus the one uncounted character and the one read
// beyond the display.
#include "common/bytes.h"
#include "fuzz_check.h"
#include "sources/display_fitting.h"
#include "sources/string_char_source.h"

#include <memory>

namespace {

bool IsBreakCharacter(QChar c) { return QStringView(u" .,;?!").contains(c); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kHeader = 8;
    constexpr int kSteps = 50;
    if (size < kHeader)
        return 0;
    const int displayLength = int(data[0] % 206) - 5;
    quint64 pieceBits = 0;
    for (std::size_t i = 1; i < kHeader; ++i)
        pieceBits = pieceBits << 8 | data[i];
    const QString text = FromWindows1252(QByteArrayView(reinterpret_cast<const char*>(data + kHeader), qsizetype(size - kHeader)));
    const qsizetype bound = 2 * qMax(displayLength, 0) + 2;

    DisplayFitting fitting;
    auto file = std::make_unique<StringCharSource>(text);
    for (int step = 0; step < kSteps; ++step) {
        if (file->AtEnd()) {
            file = std::make_unique<StringCharSource>(text); // this step only reopens
            continue;
        }
        const bool pieces = (pieceBits >> (step % 56)) & 1;
        const std::optional<QString> shown = pieces ? PieceStep(fitting, *file, displayLength)
                                                    : ScrollStep(fitting, *file, displayLength);
        // A text never fails to read; only a display too small for anything may end a step silently.
        if (shown)
            FUZZ_CHECK(*shown == fitting.displayBuffer && (displayLength >= 1 || shown->isEmpty()));
        else
            FUZZ_CHECK(displayLength < 1);
        FUZZ_CHECK(fitting.displayBuffer.size() <= bound && fitting.carryOver.size() <= bound);
        if (pieces)
            FUZZ_CHECK(fitting.carryOver.isEmpty() || !IsBreakCharacter(fitting.carryOver.back()));
    }
    return 0;
}
