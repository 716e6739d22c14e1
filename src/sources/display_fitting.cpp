#include "sources/display_fitting.h"

#include "common/bytes.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

constexpr int kMaxDisplayLength = std::numeric_limits<qint16>::max();

bool IsMark(QChar c)
{
    return c == u'.' || c == u',' || c == u'!';
}

bool IsBreakCharacter(QChar c)
{
    return QStringView(u" .,;?!").contains(c);
}

bool IsControlCharacter(QChar c)
{
    return c.unicode() < 32;
}

// Upper case only where the command bytes can carry it: the micro sign's capital is Greek.
QChar UpperInCodePage(QChar c)
{
    const QChar upper = c.toUpper();
    if (upper == c)
        return c;
    return FromWindows1252(ToWindows1252(QStringView(&upper, 1))).front() == upper ? upper : c;
}

// Too small a display shows nothing and reads nothing, so the file is not used up unseen.
QString ShowNothing(DisplayFitting& fitting)
{
    fitting.displayBuffer.clear();
    return {};
}

void RemoveLeadingSpaces(QString& piece)
{
    qsizetype count = 0;
    while (count < piece.size() && piece[count] == u' ')
        ++count;
    piece.remove(0, count);
}

// What a character read from the file puts into the piece: control characters become one space.
std::optional<QChar> PieceCharacter(QStringView piece, QChar c)
{
    if (!IsControlCharacter(c))
        return UpperInCodePage(c);
    if (piece.isEmpty() || piece.endsWith(u' '))
        return std::nullopt;
    return QChar(u' ');
}

// How much appending c adds to DisplayLength(text), so a long fill stays linear.
int DisplayLengthGrowth(QStringView text, QChar c)
{
    const bool lastStartsCounting = !text.isEmpty() && !IsMark(text.back()) && !IsMark(c);
    return int(IsMark(c)) + int(lastStartsCounting);
}

// Reads until the piece fills the display or a CR ends the line. The end of the file gives spaces,
// each of which widens the piece, so the fill always ends. False when a read fails.
bool FillPiece(QString& piece, CharSource& file, int displayLength)
{
    int count = DisplayLength(piece);
    QChar lastRead;
    while (lastRead != u'\r' && count < displayLength) {
        const std::optional<QChar> c = file.AtEnd() ? QChar(u' ') : file.ReadChar();
        if (!c)
            return false;
        lastRead = *c;
        if (const std::optional<QChar> shown = PieceCharacter(piece, *c)) {
            count = std::min(count + DisplayLengthGrowth(piece, *shown), kMaxDisplayLength);
            piece.append(*shown);
        }
    }
    return true;
}

// Moves characters from the end until a space has moved or fewer than two are left.
QString CutAtSpace(QString& piece)
{
    qsizetype cut = piece.size();
    do
        --cut;
    while (piece[cut] != u' ' && cut >= 2);
    QString rest = piece.mid(cut);
    piece.truncate(cut);
    return rest;
}

// The fill reads one character more than fits; that one, and a cut word, begin the next piece.
QString CutBack(QString& piece)
{
    if (piece.contains(u' '))
        return CutAtSpace(piece);
    QString rest = piece.right(1);
    piece.chop(1);
    return rest;
}

void DropTrailingBreakCharacters(QString& carryOver)
{
    while (!carryOver.isEmpty() && IsBreakCharacter(carryOver.back()))
        carryOver.chop(1);
}

} // namespace

int DisplayLength(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size() && count < kMaxDisplayLength; ++i) {
        const bool isLast = i + 1 == text.size();
        if (IsMark(text[i]) || (!isLast && !IsMark(text[i + 1])))
            ++count;
    }
    return count;
}

std::optional<QString> ScrollStep(DisplayFitting& fitting, CharSource& file, int displayLength)
{
    if (displayLength < 1)
        return ShowNothing(fitting);
    const std::optional<QChar> c = file.ReadChar();
    if (!c)
        return std::nullopt;
    QString& window = fitting.displayBuffer;
    window.append(UpperInCodePage(*c));
    // A display length of at least 1 keeps this at 0 or more, since the count never passes the size.
    const qsizetype keep = window.size() + displayLength - DisplayLength(window) - 1;
    if (keep < window.size())
        window = window.right(keep);
    return window;
}

std::optional<QString> PieceStep(DisplayFitting& fitting, CharSource& file, int displayLength)
{
    if (displayLength < 1)
        return ShowNothing(fitting);
    QString& piece = fitting.displayBuffer;
    piece = std::exchange(fitting.carryOver, QString());
    RemoveLeadingSpaces(piece);
    if (!FillPiece(piece, file, displayLength))
        return std::nullopt;
    fitting.carryOver = CutBack(piece);
    DropTrailingBreakCharacters(fitting.carryOver);
    return piece;
}
