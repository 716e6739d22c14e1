#include "form_harness.h"

// Sends go out "As is", so each write is exactly the command box.
static QByteArray Send(FormHarness& h)
{
    h.form->ComboProt->setCurrentIndex(5);
    h.form->CommandSend->click();
    return h.comm.writes.isEmpty() ? QByteArray("(nothing)") : h.comm.writes.last();
}

static QString WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

using FormSources = StartedForm;

TEST_F(FormSources, ModeSwitchSetsItsControlsCaptionFileNameAndDisp)
{
    QRadioButton *free = f.OptionModeFree, *time = f.OptionModeTime, *file = f.OptionModeFile;
    // Enabled: hex, running format, display length, its label, pieces, DISP, national characters;
    // then the caption, the file name and DISP. The last row is no switch: Free is already selected.
    for (const auto& [option, handDisp, expected] : { std::tuple { time, 0, "0100011|Durnix|kept|1" },
             { free, 1, "1000011|Durnix|kept|0" }, { file, 0, "0011111|Durnix - X||1" },
             { free, 1, "1000011|Durnix|kept|0" }, { free, 1, "1000011|Durnix - X|kept|1" } }) {
        f.SetCaption("X");
        f.CommandFileName = "kept";
        SetVbValue(f.CheckDisp, handDisp);
        option->click();
        QString seen;
        for (QWidget* w : std::initializer_list<QWidget*> { f.CheckHex, f.ComboTime, f.TextChars,
                 f.LabelChars, f.CheckPatkittain, f.CheckDisp, f.CheckAA })
            seen += w->isEnabled() ? '1' : '0';
        seen += '|' + f.windowTitle() + '|' + f.CommandFileName + '|' + QString::number(VbValue(f.CheckDisp));
        EXPECT_EQ(seen, QString(expected));
    }
}

TEST_F(FormSources, ChoosingARecentCommandSelectsFreeTextAndRestoresItsCheckBoxes)
{
    for (const auto& [command, disp, hex] : { std::tuple { "A", 1, 0 }, { "B", 0, 1 }, { "C", 2, 2 } }) {
        SetVbValue(f.CheckDisp, disp);
        SetVbValue(f.CheckHex, hex);
        f.TextOutput->setEditText(command);
        f.CommandSend->click();
    }
    for (const auto& [index, shown] : { std::pair { 2, "A10" }, { 1, "B01" }, { 0, "C22" }, { 4, "00" } }) {
        f.OptionModeTime->setChecked(true);
        f.ModeFreeDisp = 1;
        f.TextOutput->setCurrentIndex(index);
        emit f.TextOutput->activated(index);
        EXPECT_TRUE(f.OptionModeFree->isChecked());
        const auto digit = [](const QCheckBox* check) { return char('0' + VbValue(check)); };
        EXPECT_EQ(f.TextOutput->currentText() + digit(f.CheckDisp) + digit(f.CheckHex), QString(shown));
    }
}

// The display steps are the core's; here the display length reaches them (or, beyond 16 bits, ends the step
// first), the end of the file closes it and the next send opens it again, and running values number the
// ticks.
TEST_F(FormSources, FileModeAsksOnceSendsTheFileTextOverAndOverAndGivesWayToTheOtherModes)
{
    const QString path = WriteFile(h.folder.filePath("commands.txt"), "1.2.3");
    f.TextOutput->setEditText("OLD");
    f.OptionModeFile->setChecked(true);
    // A cancelled dialog falls back to free text, and its DISP memory, before the send.
    EXPECT_EQ(Send(h), QByteArray("OLD"));
    EXPECT_TRUE(f.OptionModeFree->isChecked() && f.CommandFileName.isEmpty());
    f.OptionModeFile->setChecked(true);
    SetVbValue(f.CheckDisp, 0);
    h.fileToChoose = path;
    f.TextChars->setText("32768"); // beyond 16 bits: the step ends before it even asks for the file
    EXPECT_EQ(Send(h), QByteArray("OLD"));
    f.TextChars->setText("3");
    EXPECT_EQ(Send(h), QByteArray("OLD")) << "the first send only opens the file";
    for (const char* expected : { "1", "1.", "1.2", "1.2.", "1.2.3", "1.2.3", ".2.31" })
        EXPECT_EQ(Send(h), QByteArray(expected));
    EXPECT_EQ(h.fileDialogs, QStringList(2, h.folder.path() + "|All Files (*.*)|*.*"));
    // Nothing is read while the length does not fit; the last one fits and the text reads on.
    for (const auto& [length, expected] : { std::pair { "-32769", ".2.31" }, { "32767.5", ".2.31" },
             { "1e9", ".2.31" }, { "32766.5", ".2.31." } }) {
        f.TextChars->setText(length);
        EXPECT_EQ(Send(h), QByteArray(expected)) << length;
    }

    f.ComboTime->setCurrentIndex(4); // running mode with its number, and nothing else
    EXPECT_EQ(f.windowTitle(), "Durnix - " + path);
    EXPECT_EQ(Send(h), QByteArray("0"));
    // Ticks count on through another layout picked by an arrow key and back, and a round trip through free
    // text by the option buttons.
    const auto tick = [&] { return f.RepeatTimer_Timer(), h.comm.writes.last(); };
    const auto click
        = [](QRadioButton* option) { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, 6)); };
    EXPECT_EQ(tick(), QByteArray("1"));
    QTest::keyClick(f.ComboTime, Qt::Key_Up);
    EXPECT_EQ(tick(), QByteArray("05.07"));
    QTest::keyClick(f.ComboTime, Qt::Key_Down);
    EXPECT_EQ(tick(), QByteArray("2"));
    click(f.OptionModeFree);
    click(f.OptionModeTime);
    EXPECT_EQ(tick(), QByteArray("3"));
    EXPECT_EQ(Send(h), QByteArray("0")) << "a manual send starts the number again";

    f.OptionModeFile->setChecked(true);
    SetVbValue(f.CheckDisp, 1);
    f.TextOutput->setEditText("typed"); // typing selects free text
    EXPECT_TRUE(f.OptionModeFree->isChecked() && VbValue(f.CheckDisp) == 0);
}

// A file remembered from the last run needs no dialog. While it is gone each send goes out with the box as it
// stands, silently, with the caption and the name kept; once it is there again it opens.
TEST(FormRestoredFile, IsOpenedWithoutAskingAndWhileGoneLeavesBoxCaptionAndNameAsTheyWere)
{
    FormHarness h;
    const QString path = h.folder.filePath("commands.txt");
    h.WriteSettings(("Mode=File\r\nFilename=" + path + "\r\nOutput=OLD\r\n").toUtf8());
    DurnixForm& f = h.Start();
    const QString caption = f.windowTitle();
    QByteArrayList sent { Send(h), Send(h) };
    EXPECT_EQ(f.windowTitle() + '|' + f.CommandFileName, caption + '|' + path);
    ASSERT_EQ(WriteFile(path, "HI"), path);
    sent << Send(h) << Send(h);
    EXPECT_EQ(sent.join(' '), QByteArray("OLD OLD OLD H"));
    EXPECT_EQ(f.windowTitle(), "Durnix - " + path);
    EXPECT_TRUE(
        f.OptionModeFile->isChecked() && h.fileDialogs.isEmpty() && h.portFailures.isEmpty() && !h.beeps);
}

// Memories from durnix.ini may hold any number. Free text and running round it: 2 greys the box, any other
// nonzero checks it. File mode checks the box for any nonzero number.
TEST(FormRestoredDisp, AnyNumberGivesTheBoxTheStateOfEachModeSwitch)
{
    // DISP after a click on running, file and free text, each mode's memory being the number.
    const std::pair<const char*, const char*> cases[] = { { "0.5", "010" }, { "1.5", "212" }, { "2", "212" },
        { "2.5", "212" }, { "3", "111" }, { "-1", "111" }, { "-2", "111" } };
    for (const auto& [memory, states] : cases) {
        FormHarness h;
        h.WriteSettings(
            QString("Modefreedisp=%1\r\nModetimedisp=%1\r\nModefiledisp=%1\r\n").arg(memory).toLatin1());
        DurnixForm& f = h.Start();
        QString seen;
        for (QRadioButton* option : { f.OptionModeTime, f.OptionModeFile, f.OptionModeFree }) {
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, 6));
            seen += QString::number(VbValue(f.CheckDisp));
        }
        EXPECT_EQ(seen, QString(states)) << memory;
    }
}
