// The displays' right-click menu: copying what they show, and starting and stopping the log.
#include "app/display_label.h"
#include "app/lamp.h"
#include "command/framing.h"
#include "log_harness.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

struct DisplayCase {
    const char* name;
    DisplayLabel* DurnixForm::*display;
    QString shown;
};

using EachDisplay = ::testing::TestWithParam<DisplayCase>;

TEST_P(EachDisplay, CopyPutsItsTextOnTheClipboardAndTheRightClickClearsNothing)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog();
    f.ComboProt->setCurrentIndex(AsIs);
    f.TextOutput->setEditText("Q");
    f.CommandSend->click();
    h.comm.receive("AB\r\n");
    h.comm.raise(MSComm::comEventFrame);
    QGuiApplication::clipboard()->clear();

    ASSERT_TRUE(PickFromMenu(f, f.*GetParam().display, "Copy"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), GetParam().shown);
    EXPECT_EQ(f.TextInput->text(), QString("AB<13>\n<10>"));
    EXPECT_EQ(f.LineErrors, 1) << "a right click on the answer is no click";
    EXPECT_EQ(f.ShapeFraming->fillColor(), QColor(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(DisplayMenu, EachDisplay,
    ::testing::Values(DisplayCase { "CommandPacket", &DurnixForm::TextOutputhex, "51 " },
        DisplayCase { "RawAnswer", &DurnixForm::TextInputHex, "41 42 0D 0A " },
        DisplayCase { "InterpretedAnswer", &DurnixForm::TextInput, "AB<13>\n<10>" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayMenu, StartLogShowsTheEntryCheckedWithThePathAndStopLogEndsIt)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog();
    EXPECT_FALSE(f.MenuStartLog->isChecked());
    EXPECT_FALSE(f.MenuStopLog->isEnabled());
    EXPECT_EQ(f.DisplayMenu->actions().first(), f.MenuCopy);

    h.logToChoose = h.LogPath();
    ASSERT_TRUE(PickFromMenu(f, f.TextInputHex, QString::fromUtf8("Start log\u2026")));
    EXPECT_EQ(h.logDialogs, QStringList(h.folder.path()));
    EXPECT_TRUE(f.Log().IsRunning());
    EXPECT_TRUE(f.MenuStartLog->isChecked());
    EXPECT_TRUE(f.MenuStartLog->toolTip().contains(h.LogPath())) << f.MenuStartLog->toolTip().toStdString();
    EXPECT_TRUE(f.MenuStopLog->isEnabled());

    // The operator cancels a second dialog: the log goes on where it was.
    h.logToChoose.clear();
    ASSERT_TRUE(PickFromMenu(f, f.TextOutputhex, QString::fromUtf8("Start log\u2026")));
    EXPECT_TRUE(f.MenuStartLog->isChecked());
    EXPECT_EQ(f.Log().Path(), h.LogPath());

    ASSERT_TRUE(PickFromMenu(f, f.TextInput, "Stop log"));
    EXPECT_FALSE(f.Log().IsRunning());
    EXPECT_FALSE(f.MenuStartLog->isChecked());
    EXPECT_EQ(h.Lines().value(0), QString("time\tevent\thex\ttext\tms"));
    EXPECT_EQ(h.Records("PORT"), QStringList("PORT\t\topen COM1 /dev/ttyS0 4800,N,8,1\t"))
        << "the file starts by saying what the line is";
}

TEST(DisplayMenu, StartingAppendsToAnExistingFileWithoutASecondHeader)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog(h.LogPath());
    f.StopLog();
    h.logToChoose = h.LogPath();
    ASSERT_TRUE(PickFromMenu(f, f.TextInput, QString::fromUtf8("Start log\u2026")));
    f.StopLog();
    EXPECT_EQ(h.Lines().count("time\tevent\thex\ttext\tms"), 1);
    EXPECT_EQ(h.Records("PORT").size(), 2);
}

} // namespace
