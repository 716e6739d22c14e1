#include "app/display_label.h"
#include "app/vb_controls.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

enum Mode { Free, Time, File };

QRadioButton* Option(DurnixForm& f, Mode mode)
{
    return mode == Free ? f.OptionModeFree : mode == Time ? f.OptionModeTime : f.OptionModeFile;
}

QString WriteFile(FormHarness& h, const QString& name, const QByteArray& bytes)
{
    QFile file(h.folder.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}

// Whether this process holds the file open: the handle shows in /proc.
bool HeldOpen(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == target)
            return true;
    return false;
}

// Sends go out "As is" so that each write is exactly the command box.
DurnixForm& StartRaw(FormHarness& h)
{
    DurnixForm& f = h.Start();
    f.ComboProt->setCurrentIndex(5);
    return f;
}

QByteArray Send(FormHarness& h)
{
    h.form->CommandSend->click();
    return h.comm.writes.isEmpty() ? QByteArray("(nothing)") : h.comm.writes.last();
}

// Enters file mode and makes the first send, which only opens the file.
void OpenInFileMode(FormHarness& h, const QString& path, const char* chars, bool pieces)
{
    DurnixForm& f = *h.form;
    f.TextOutput->setEditText("OLD");
    f.OptionModeFile->setChecked(true);
    SetVbValue(f.CheckDisp, 0);
    SetVbValue(f.CheckPatkittain, pieces);
    f.TextChars->setText(chars);
    h.fileToChoose = path;
    EXPECT_EQ(Send(h), QByteArray("OLD"));
}

} // namespace

TEST(FormSources, ModeSwitchSetsItsControlsCaptionFileNameAndDisp)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.TextOutput->setEditText("BOX");
    const struct {
        Mode mode;
        int handDisp; // CheckDisp as the operator left it before the switch
        bool hex, time, chars;
        const char* caption;
        const char* fileName;
        int disp;
    } steps[] = {
        { Time, 0, false, true, false, "Durnix", "kept", 1 },
        { Free, 1, true, false, false, "Durnix", "kept", 0 },
        { File, 0, false, false, true, "Durnix - X", "", 1 },
        { Time, 0, false, true, false, "Durnix", "kept", 1 },
        { File, 0, false, false, true, "Durnix - X", "", 1 },
        { Free, 1, true, false, false, "Durnix", "kept", 0 },
        { Free, 1, true, false, false, "Durnix - X", "kept", 1 }, // already selected: no switch
    };
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(++n));
        f.SetCaption("X");
        f.CommandFileName = "kept";
        SetVbValue(f.CheckDisp, step.handDisp);
        Option(f, step.mode)->click();
        EXPECT_TRUE(Option(f, step.mode)->isChecked());
        EXPECT_EQ(f.CheckHex->isEnabled(), step.hex);
        EXPECT_EQ(f.ComboTime->isEnabled(), step.time);
        EXPECT_EQ(f.TextChars->isEnabled(), step.chars);
        EXPECT_EQ(f.LabelChars->isEnabled(), step.chars);
        EXPECT_EQ(f.CheckPatkittain->isEnabled(), step.chars);
        EXPECT_TRUE(f.CheckDisp->isEnabled() && f.CheckAA->isEnabled());
        EXPECT_EQ(f.windowTitle(), QString(step.caption));
        EXPECT_EQ(f.CommandFileName, QString(step.fileName));
        EXPECT_EQ(VbValue(f.CheckDisp), step.disp);
        EXPECT_EQ(f.TextOutput->currentText(), QString("BOX"));
    }
}

TEST(FormSources, DispMemoryShowsNonzeroCheckedAndTwoGreyed)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    const struct {
        double memory;
        int freeOrTime, file;
    } cases[] = { { 0, 0, 0 }, { 1, 1, 1 }, { -1, 1, 1 }, { 2, 2, 1 }, { 2.4, 2, 1 }, { 5, 1, 1 },
        { 0.4, 0, 1 }, { 0.5, 0, 1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.memory);
        f.ModeFreeDisp = f.ModeTimeDisp = f.ModeFileDisp = c.memory;
        f.OptionModeTime->setChecked(true);
        EXPECT_EQ(VbValue(f.CheckDisp), c.freeOrTime) << "running";
        f.OptionModeFile->setChecked(true);
        EXPECT_EQ(VbValue(f.CheckDisp), c.file) << "file";
        f.OptionModeFree->setChecked(true);
        EXPECT_EQ(VbValue(f.CheckDisp), c.freeOrTime) << "free";
    }
}

TEST(FormSources, TypingInFileModeSelectsFreeTextAndClosesTheFile)
{
    FormHarness h;
    DurnixForm& f = StartRaw(h);
    const QString path = WriteFile(h, "commands.txt", "HELLO");
    OpenInFileMode(h, path, "6", false);
    ASSERT_EQ(f.windowTitle(), "Durnix - " + path);
    ASSERT_TRUE(HeldOpen(path));
    SetVbValue(f.CheckDisp, 1);
    f.TextOutput->setEditText("typed");
    EXPECT_TRUE(f.OptionModeFree->isChecked());
    EXPECT_FALSE(HeldOpen(path));
    EXPECT_EQ(f.windowTitle(), QString("Durnix"));
    EXPECT_EQ(VbValue(f.CheckDisp), 0);

    // Coming back forgets the file: the next send asks again.
    f.OptionModeFile->setChecked(true);
    EXPECT_EQ(h.fileDialogs.size(), 1);
    EXPECT_EQ(Send(h), QByteArray("typed"));
    EXPECT_EQ(h.fileDialogs.size(), 2);
    EXPECT_EQ(Send(h), QByteArray("H"));
}

TEST(FormSources, ChoosingARecentCommandRestoresItsCheckBoxes)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    for (const auto& [command, disp, hex] : { std::tuple { "A", 1, 0 }, { "B", 0, 1 }, { "C", 2, 2 } }) {
        SetVbValue(f.CheckDisp, disp);
        SetVbValue(f.CheckHex, hex);
        f.TextOutput->setEditText(command);
        f.CommandSend->click();
    }
    const struct {
        int index;
        const char* text;
        int disp, hex;
    } cases[] = { { 2, "A", 1, 0 }, { 1, "B", 0, 1 }, { 0, "C", 2, 2 }, { 4, "", 0, 0 }, { 2, "A", 1, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        f.OptionModeTime->setChecked(true);
        f.ModeFreeDisp = 1 - c.disp % 2;
        f.TextOutput->setCurrentIndex(c.index);
        emit f.TextOutput->activated(c.index);
        EXPECT_TRUE(f.OptionModeFree->isChecked());
        EXPECT_EQ(f.TextOutput->currentText(), QString(c.text));
        EXPECT_EQ(VbValue(f.CheckDisp), c.disp);
        EXPECT_EQ(VbValue(f.CheckHex), c.hex);
    }
}

TEST(FormSources, ChoosingARunningFormatSelectsRunningModeAndNothingElse)
{
    FormHarness h;
    DurnixForm& f = StartRaw(h);
    const QString path = WriteFile(h, "commands.txt", "HELLO");
    OpenInFileMode(h, path, "6", false);
    for (int format : { 2, 3 }) {
        SCOPED_TRACE(format);
        f.ComboTime->setCurrentIndex(format);
        EXPECT_TRUE(f.OptionModeTime->isChecked());
        EXPECT_TRUE(f.ComboTime->isEnabled());
        EXPECT_FALSE(f.TextChars->isEnabled());
        EXPECT_EQ(VbValue(f.CheckDisp), 0);
        EXPECT_EQ(f.windowTitle(), "Durnix - " + path);
        EXPECT_EQ(f.CommandFileName, path);
        EXPECT_TRUE(HeldOpen(path));
    }
    EXPECT_EQ(Send(h), QByteArray("05.07"));
}

TEST(FormSources, RunningValuesFollowTheLayoutAndIgnoreHexNotation)
{
    FormHarness h;
    DurnixForm& f = StartRaw(h);
    SetVbValue(f.CheckHex, 1);
    f.OptionModeTime->setChecked(true);
    const struct {
        int layout;
        int disp;
        const char* sent;
    } cases[] = { { 0, 0, "07" }, { 1, 0, "09.05" }, { 2, 0, "09.05.07" }, { 3, 0, "05.07" },
        { 2, 1, "DISP 09.05.07" }, { 0, 0, "07" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent);
        f.ComboTime->setCurrentIndex(c.layout);
        SetVbValue(f.CheckDisp, c.disp);
        EXPECT_EQ(Send(h), QByteArray(c.sent));
        EXPECT_TRUE(f.OptionModeTime->isChecked());
        EXPECT_EQ(f.TextOutput->itemText(0), QString()) << "the recent list is not touched";
    }
    EXPECT_EQ(VbValue(f.CheckHex), 1);
}

TEST(FormSources, RunningNumberRestartsAtEveryManualSendAndCountsAcrossRepeats)
{
    FormHarness h;
    DurnixForm& f = StartRaw(h);
    f.ComboTime->setCurrentIndex(4);
    SetVbValue(f.CheckDisp, 0);
    f.TextRepeat->setText("0.05");
    auto repeat = [&](const char* count) {
        h.comm.writes.clear();
        f.TextCount->setText(count);
        SetVbValue(f.CheckRepeat, 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !IsSet(f.CheckRepeat); }, 5000));
        return h.comm.writes;
    };
    EXPECT_EQ(Send(h), QByteArray("0"));
    EXPECT_EQ(repeat("3"), QList<QByteArray>({ "1", "2", "3" }));
    EXPECT_EQ(Send(h), QByteArray("0"));
    f.OptionModeFree->setChecked(true);
    f.OptionModeTime->setChecked(true);
    EXPECT_EQ(repeat("1"), QList<QByteArray>({ "1" })) << "a mode switch does not reset the number";
    f.RunningNumber = 32766;
    EXPECT_EQ(repeat("3"), QList<QByteArray>({ "32766", "32767", "32767" }));
    EXPECT_EQ(Send(h), QByteArray("0"));
}

TEST(FormSources, FileModeSendsTheFileTextScrolledOrInPieces)
{
    const struct {
        const char* name;
        QByteArray file;
        bool pieces;
        const char* chars;
        QList<QByteArray> sent;
    } cases[] = {
        { "scrolling", "Hello World", false, "6",
            { "H", "HE", "HEL", "HELL", "HELLO", "HELLO ", "ELLO W", "LLO WO", "LO WOR", "O WORL", " WORLD",
                " WORLD", "WORLDH", "ORLDHE" } },
        { "scrolling marks", "1.2.3", false, "3", { "1", "1.", "1.2", "1.2.", "1.2.3", "1.2.3", ".2.31" } },
        { "windows-1252", QByteArray("\xE4") + "x\x80", false, "6",
            { "A", "AX", "AX\x80", "AX\x80",
                "AX\x80"
                "A" } },
        { "pieces", "HELLO WORLD\r\nGOOD DAY\r\n", true, "6",
            { "HELLO", "WORLD", "GOOD", "DAY", "      ", "      ", "HELLO" } },
        { "long word", "A VERYLONGWORD", true, "4", { "A", "VERY", "LONG", "WORD", "WORD", "A" } },
        { "tab", "a\tb\r\n", true, "6", { "A B", "      " } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormHarness h;
        DurnixForm& f = StartRaw(h);
        const QString path = WriteFile(h, "commands.txt", c.file);
        OpenInFileMode(h, path, c.chars, c.pieces);
        EXPECT_EQ(h.fileDialogs, QStringList({ h.folder.path() + "|All Files (*.*)|*.*" }));
        EXPECT_EQ(f.windowTitle(), "Durnix - " + path);
        QList<QByteArray> sent;
        for (qsizetype i = 0; i < c.sent.size(); ++i)
            sent << Send(h);
        EXPECT_EQ(sent, c.sent);
        EXPECT_TRUE(f.OptionModeFile->isChecked());
        EXPECT_EQ(h.fileDialogs.size(), 1);
        EXPECT_EQ(f.TextOutput->itemText(0), QString()) << "the recent list is not touched";
    }
}

TEST(FormSources, CancelledFileDialogFallsBackToFreeText)
{
    FormHarness h;
    DurnixForm& f = StartRaw(h);
    f.TextOutput->setEditText("OLD");
    f.OptionModeFile->setChecked(true);
    ASSERT_EQ(VbValue(f.CheckDisp), 1);
    f.SetCaption("X");
    // The free-text switch runs before the send, so its DISP memory applies.
    EXPECT_EQ(Send(h), QByteArray("OLD"));
    EXPECT_TRUE(f.OptionModeFree->isChecked());
    EXPECT_EQ(f.windowTitle(), QString("Durnix"));
    EXPECT_EQ(h.fileDialogs.size(), 1);
    EXPECT_EQ(f.ModeFileDisp, 1);
    EXPECT_TRUE(f.CommandFileName.isEmpty());
    EXPECT_EQ(Send(h), QByteArray("OLD"));
    EXPECT_EQ(h.fileDialogs.size(), 1);
}

TEST(FormSources, RestoredFileThatIsGoneIsRetriedSilentlyAtEverySend)
{
    FormHarness h;
    const QString path = h.folder.filePath("gone.txt");
    h.WriteSettings(("Mode=File\r\nFilename=" + path + "\r\nOutput=OLD\r\n").toUtf8());
    DurnixForm& f = h.Start();
    f.ComboProt->setCurrentIndex(5);
    SetVbValue(f.CheckDisp, 0);
    ASSERT_TRUE(f.OptionModeFile->isChecked());
    const QString caption = f.windowTitle();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Send(h), QByteArray("OLD"));
    EXPECT_EQ(f.windowTitle(), caption);
    EXPECT_EQ(f.CommandFileName, path);
    EXPECT_TRUE(h.fileDialogs.isEmpty());
    EXPECT_TRUE(h.portFailures.isEmpty());
    EXPECT_EQ(h.beeps, 0);

    WriteFile(h, "gone.txt", "HI");
    EXPECT_EQ(Send(h), QByteArray("OLD"));
    EXPECT_EQ(f.windowTitle(), "Durnix - " + path);
    EXPECT_EQ(Send(h), QByteArray("H"));
    EXPECT_TRUE(h.fileDialogs.isEmpty());
}

TEST(FormSources, DisplayLengthBelowOneEmptiesTheBoxAndReadsNothing)
{
    for (bool pieces : { false, true }) {
        SCOPED_TRACE(pieces ? "pieces" : "scrolling");
        FormHarness h;
        DurnixForm& f = StartRaw(h);
        OpenInFileMode(h, WriteFile(h, "commands.txt", "HELLO"), "6", pieces);
        f.TextChars->setText("99999");
        EXPECT_EQ(Send(h), QByteArray("OLD")) << "a length beyond 16 bits leaves the box";
        for (const char* chars : { "0", "-5", "abc" }) {
            f.TextChars->setText(chars);
            EXPECT_EQ(Send(h), QByteArray()) << chars;
            EXPECT_EQ(f.TextOutput->currentText(), QString()) << chars;
        }
        f.TextChars->setText("6");
        EXPECT_EQ(Send(h), QByteArray(pieces ? "HELLO " : "H"));
    }
}

TEST(FormSources, BinaryFileNeverStopsTheSends)
{
    QByteArray binary;
    for (int i = 0; i < 300; ++i)
        binary.append(char(i % 7 == 0 ? 0 : i * 37 % 256));
    for (bool pieces : { false, true }) {
        FormHarness h;
        DurnixForm& f = StartRaw(h);
        OpenInFileMode(h, WriteFile(h, "binary.bin", binary), "6", pieces);
        for (const char* chars : { "6", "0", "-5", "abc", "1", "40" }) {
            f.TextChars->setText(chars);
            for (int i = 0; i < 60; ++i) {
                const qsizetype writes = h.comm.writes.size();
                f.CommandSend->click();
                ASSERT_EQ(h.comm.writes.size(), writes + 1) << (pieces ? "pieces " : "scrolling ") << chars;
            }
        }
        EXPECT_TRUE(f.OptionModeFile->isChecked());
    }
}
