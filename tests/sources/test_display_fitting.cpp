#include "sources/display_fitting.h"
#include "sources/string_char_source.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

enum class Method { Scroll, Pieces };

const QString kSixSpaces(6, u' ');

// Runs display steps the way the file step does: a used-up file is reopened instead of read, and
// that send repeats the previous command.
QStringList Commands(const QString& text, int displayLength, Method method, int steps)
{
    DisplayFitting fitting;
    std::optional<StringCharSource> file(std::in_place, text);
    const auto step = method == Method::Scroll ? ScrollStep : PieceStep;
    QString command;
    QStringList commands;
    for (int i = 0; i < steps; ++i) {
        if (file->AtEnd())
            file.emplace(text);
        else if (auto next = step(fitting, *file, displayLength))
            command = *next;
        commands.append(command);
    }
    return commands;
}

std::string Shown(const QStringList& commands)
{
    return ('[' + commands.join(u"|") + ']').toStdString();
}

struct StepCase {
    const char* name;
    QString text;
    int displayLength;
    QStringList expected;
};

void ExpectCommands(Method method, const std::vector<StepCase>& cases)
{
    for (const StepCase& c : cases) {
        const QStringList commands = Commands(c.text, c.displayLength, method, int(c.expected.size()));
        EXPECT_EQ(commands, c.expected) << c.name << ": got " << Shown(commands);
    }
}

// A file whose reads fail although it is not at its end.
class FailingSource : public CharSource {
public:
    bool AtEnd() override { return false; }
    std::optional<QChar> ReadChar() override { return std::nullopt; }
};

} // namespace

TEST(DisplayLength, MarksShareThePositionBeforeThemAndTheLastCharacterCountsOnlyAsAMark)
{
    const std::pair<const char*, int> cases[] = {
        { "", 0 }, { "A", 0 }, { "AB", 1 }, { "ABC", 2 }, { "AB.", 2 }, { "12.", 2 }, { "12.5", 2 },
        { "1.5", 1 }, { "..", 2 }, { "09.05.07", 5 }, { "A,B!", 2 }, { "A;B", 2 }, { "   ", 2 },
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DisplayLength(QString(text)), expected) << '"' << text << '"';
}

TEST(DisplayLength, SaturatesAtSixteenBits)
{
    EXPECT_EQ(DisplayLength(QString(40000, u'.')), 32767);
    EXPECT_EQ(DisplayLength(QString(32768, u'x')), 32767);
}

TEST(ScrollStep, ShowsTheLastDisplayLengthOfTheTextRead)
{
    ExpectCommands(Method::Scroll,
        {
            { "plain text, reopened", "HELLO WORLD", 6,
                { "H", "HE", "HEL", "HELL", "HELLO", "HELLO ", "ELLO W", "LLO WO", "LO WOR", "O WORL",
                    " WORLD", " WORLD", "WORLDH", "ORLDHE" } },
            { "marks", "1.2.3", 3, { "1", "1.", "1.2", "1.2.", "1.2.3", "1.2.3", ".2.31" } },
            { "lower case", "ab!", 6, { "A", "AB", "AB!" } },
            { "tab and line end stay", "a\tb\r\n", 6, { "A", "A\t", "A\tB", "A\tB\r", "A\tB\r\n" } },
            { "upper case only where the code page has it", QString::fromUtf8("µÿé"), 6,
                { QString::fromUtf8("µ"), QString::fromUtf8("µŸ"), QString::fromUtf8("µŸÉ") } },
            { "display length 1", "ABC", 1, { "A", "B", "C", "C", "A" } },
        });
}

TEST(PieceStep, CutsTheTextAtSpacesAndLineEnds)
{
    ExpectCommands(Method::Pieces,
        {
            { "two lines", "HELLO WORLD\r\nGOOD DAY\r\n", 6,
                { "HELLO", "WORLD", "GOOD", "DAY", kSixSpaces, kSixSpaces, "HELLO" } },
            { "line as long as the display", "ABCDEF\r\nXY\r\n", 6,
                { "ABCDEF", "XY", kSixSpaces, kSixSpaces, "ABCDEF" } },
            { "line one longer", "ABCDEFG\r\nXY\r\n", 6, { "ABCDEF", "G", "XY", kSixSpaces } },
            { "marks share positions", "12.5 C, 7.0 V\r\n", 6, { "12.5 C,", "7.0 V", kSixSpaces } },
            { "word longer than the display", "A VERYLONGWORD", 4,
                { "A", "VERY", "LONG", "WORD", "WORD", "A" } },
            { "two spaces", "HELLO  WORLD", 5, { "HELLO", " ", " ", "WORLD", "HELLO" } },
            { "overflowing break character dropped", "WORLD;X", 5, { "WORLD", "X    " } },
            { "end joins the beginning", "Temp 21.5, ok!", 6,
                { "TEMP", "21.5,", "21.5,", "OKTEMP", "21.5," } },
            { "empty line", "AB\r\n\r\nCD\r\n", 6, { "AB", "", "CD" } },
            { "line feed alone is a space", "ab\ncd", 6, { "AB CD " } },
            { "tab becomes one space", "a\t\tb\r\n", 6, { "A B" } },
            { "nul bytes are control characters", QStringView(u"A\0\0B\r\n", 6).toString(), 6, { "A B" } },
        });
}

TEST(DisplaySteps, DisplayLengthBelowOneShowsNothingAndReadsNothing)
{
    for (int displayLength : { 0, -5 }) {
        for (auto step : { ScrollStep, PieceStep }) {
            DisplayFitting fitting { "OLD", "CARRIED" };
            StringCharSource file("ABC");
            EXPECT_EQ(step(fitting, file, displayLength), QString()) << displayLength;
            EXPECT_EQ(fitting.displayBuffer, QString()) << displayLength;
            EXPECT_EQ(fitting.carryOver, QString("CARRIED")) << displayLength;
            EXPECT_EQ(file.ReadChar(), QChar(u'A')) << displayLength;
        }
    }
}

TEST(DisplaySteps, FailedReadEndsTheStepWithoutText)
{
    FailingSource file;
    DisplayFitting fitting;
    EXPECT_EQ(ScrollStep(fitting, file, 6), std::nullopt);
    EXPECT_EQ(PieceStep(fitting, file, 6), std::nullopt);
}

TEST(DisplaySteps, OddFilesNeverHangAndKeepTheBuffersBounded)
{
    QString everyCode;
    for (int i = 0; i < 256; ++i)
        everyCode.append(QChar(i));
    const std::pair<QString, int> cases[] = {
        { QString("\r\n").repeated(300), 200 },
        { QString(500, u' '), 200 },
        { QString(500, u'.'), 200 },
        { QString(500, u'\0'), 200 },
        { QString(".,!;?").repeated(100), 200 },
        { QString("A.").repeated(300), 200 },
        { everyCode.repeated(3), 200 },
        { QString(), 200 },
        { "A.B C", 32767 },
        { QString(40000, u'.'), 32767 },
    };
    for (Method method : { Method::Scroll, Method::Pieces }) {
        for (const auto& [text, displayLength] : cases) {
            const std::string name = text.left(8).toStdString() + " at " + std::to_string(displayLength);
            const int steps = displayLength > 200 ? 5 : 300;
            for (const QString& command : Commands(text, displayLength, method, steps)) {
                ASSERT_LE(command.size(), 2 * displayLength + 2) << name;
                if (method == Method::Pieces) {
                    ASSERT_LT(DisplayLength(command), displayLength) << "a piece always fits: " << name;
                }
            }
        }
    }
}
