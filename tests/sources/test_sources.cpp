#include "sources/command_file.h"
#include "sources/display_fitting.h"
#include "sources/running_values.h"
#include "sources/string_char_source.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Runs display steps the way the file step does: a used-up file is reopened instead of read, and
// that send repeats the previous command.
static QStringList Commands(const QString& text, int displayLength, bool pieces, qsizetype steps)
{
    DisplayFitting fitting;
    StringCharSource file(text);
    QStringList commands;
    while (commands.size() < steps) {
        commands.append(commands.isEmpty() ? QString() : commands.back());
        if (file.AtEnd())
            file = StringCharSource(text);
        else if (auto next = (pieces ? PieceStep : ScrollStep)(fitting, file, displayLength))
            commands.back() = *next;
    }
    return commands;
}

TEST(DisplaySteps, ScrollAndCutIntoPiecesAsInTheExamples)
{
    const QString blank(6, u' ');
    const std::tuple<bool, QString, int, QStringList> cases[] = {
        { false, "HELLO WORLD", 6,
            { "H", "HE", "HEL", "HELL", "HELLO", "HELLO ", "ELLO W", "LLO WO", "LO WOR", "O WORL", " WORLD",
                " WORLD", "WORLDH", "ORLDHE" } },
        { false, "1.2.3", 3, { "1", "1.", "1.2", "1.2.", "1.2.3", "1.2.3", ".2.31" } },
        { false, "µÿ\té\r\n", 6, { "µ", "µŸ", "µŸ\t", "µŸ\tÉ", "µŸ\tÉ\r", "µŸ\tÉ\r\n" } },
        { false, "ABC", 1, { "A", "B", "C", "C", "A" } },
        { true, "HELLO WORLD\r\nGOOD DAY\r\n", 6,
            { "HELLO", "WORLD", "GOOD", "DAY", blank, blank, "HELLO" } },
        { true, "12.5 C, 7.0 V\r\n", 6, { "12.5 C,", "7.0 V", blank } },
        { true, "A VERYLONGWORD", 4, { "A", "VERY", "LONG", "WORD", "WORD", "A" } },
        { true, "HELLO  WORLD", 5, { "HELLO", " ", " ", "WORLD", "HELLO" } },
        { true, "WORLD;X", 5, { "WORLD", "X    " } },
        { true, "Temp 21.5, ok!", 6, { "TEMP", "21.5,", "21.5,", "OKTEMP", "21.5," } },
        { true, "AB\r\n\r\nCD\r\n", 6, { "AB", "", "CD" } },
        { true, "a\t\tb\ncd", 6, { "A B CD" } },
    };
    for (const auto& [pieces, text, displayLength, expected] : cases)
        EXPECT_EQ(Commands(text, displayLength, pieces, expected.size()), expected) << text.toStdString();
}

// A display below one position shows nothing and reads nothing, so the text goes on where it stood.
TEST(DisplaySteps, ADisplayBelowOnePositionShowsNothingAndReadsNothing)
{
    for (const auto& [pieces, expected] : { std::pair { false, "A||||B" }, { true, "AB||||CDEFG " } }) {
        DisplayFitting fitting;
        StringCharSource file("AB CDEFG");
        QStringList shown;
        for (const int displayLength : { 6, 0, -1, -32768, 6 })
            shown << (pieces ? PieceStep : ScrollStep)(fitting, file, displayLength).value_or("?");
        EXPECT_EQ(shown.join('|'), QString(expected)) << pieces;
    }
}

TEST(DisplayLength, MarksShareThePositionBeforeThemAndTheLastCharacterCountsOnlyAsAMark)
{
    const std::pair<QString, int> cases[]
        = { { "", 0 }, { "A", 0 }, { "ABC", 2 }, { "AB.", 2 }, { "1.5", 1 }, { "..", 2 }, { "09.05.07", 5 },
              { "A,B!C", 2 }, { QString(40000, u'.'), 32767 }, { QString(32768, u'x'), 32767 } };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DisplayLength(text), expected) << text.left(10).toStdString();
}

// A 24-hour clock with leading zeros; only NN touches the number, and it stops at its top. "-" stands for
// no text at all, which no layout can write.
TEST(RunningValues, TimeLayoutsAndTheRunningNumberForExactLayoutsOnly)
{
    const std::tuple<QString, qint16, QString, qint16> cases[]
        = { { "ss", 5, "07", 5 }, { "hh.mm", 5, "19.05", 5 }, { "hh.mm.ss", 5, "19.05.07", 5 },
              { "mm.ss", 5, "05.07", 5 }, { "HH.MM", 5, "-", 5 }, { "nn", 5, "-", 5 }, { "ss ", 5, "-", 5 },
              { "NN", 0, "0", 1 }, { "NN", 32766, "32766", 32767 }, { "NN", 32767, "32767", 32767 } };
    for (auto [layout, number, text, after] : cases) {
        EXPECT_EQ(RunningValueText(layout, { 19, 5, 7 }, number).value_or("-"), text) << layout.toStdString();
        EXPECT_EQ(number, after) << layout.toStdString();
    }
}

TEST(CommandFile, ReadsBytesAsWindows1252AndRefusesMissingFilesAndFolders)
{
    QTemporaryDir dir;
    QFile saved(dir.filePath("commands.txt"));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly) && saved.write("\xE4\0\xFF\x80", 4) == 4 && saved.flush());
    CommandFile file;
    for (const QString& path : { dir.filePath("missing.txt"), dir.path(), QString() })
        EXPECT_FALSE(file.Open(path) || !file.AtEnd() || file.ReadChar()) << path.toStdString();
    ASSERT_TRUE(file.Open(saved.fileName()) && file.IsOpen());
    QString text;
    while (!file.AtEnd())
        text.append(file.ReadChar().value_or(u'?'));
    EXPECT_EQ(text, QString::fromUtf8("ä\0ÿ€", 8));
    EXPECT_EQ(file.ReadChar(), std::nullopt);
}
