// The displays' right-click menu, and a log whose file goes away, on FakeComm.
#include "form_harness.h"
#include "command/framing.h"
#include "row_names.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>

namespace
{

// Right-clicks `display` through the window system, as a mouse does, and picks `entry` from the menu.
::testing::AssertionResult PickFromMenu(DurnixForm& f, QWidget* display, const QString& entry)
{
    f.show();
    if (!QTest::qWaitForWindowExposed(&f))
        return ::testing::AssertionFailure() << "the window never showed";
    QTest::mouseClick(f.windowHandle(), Qt::RightButton, {}, display->mapTo(&f, display->rect().center()));
    QMenu* menu = f.DisplayMenu;
    if (!QTest::qWaitFor([&] { return menu->isVisible(); }, 2000))
        return ::testing::AssertionFailure() << "no menu opened";
    for (QAction* action : menu->actions())
        if (action->text() == entry) {
            QTest::mouseClick(
                menu->windowHandle(), Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return QTest::qWaitFor([&] { return !menu->isVisible(); }, 2000)
                ? ::testing::AssertionSuccess()
                : ::testing::AssertionFailure() << "the menu stayed open";
        }
    return ::testing::AssertionFailure() << "no entry " << entry.toStdString();
}

struct DisplayCase {
    const char* name;
    DisplayLabel* DurnixForm::*display;
    QString shown;
    DURNIX_PRINTS_ITS_NAME(DisplayCase)
};

struct EachDisplay : StartedForm, ::testing::WithParamInterface<DisplayCase> {
};
using DisplayMenu = StartedForm;

TEST_P(EachDisplay, CopyPutsItsTextOnTheClipboardAndTheRightClickClearsNothing)
{
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
}

INSTANTIATE_TEST_SUITE_P(DisplayMenu, EachDisplay,
    ::testing::Values(DisplayCase { "CommandPacket", &DurnixForm::TextOutputhex, "51 " },
        DisplayCase { "RawAnswer", &DurnixForm::TextInputHex, "41 42 0D 0A " },
        DisplayCase { "InterpretedAnswer", &DurnixForm::TextInput, "AB<13>\n<10>" }),
    ByName);

TEST_F(DisplayMenu, StartLogAppendsShowsTheEntryCheckedWithThePathAndStopLogEndsIt)
{
    h.logToChoose = h.folder.filePath("traffic.log");
    QFile earlier(h.logToChoose);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("time\tevent\thex\ttext\tms\nearlier\n"));
    earlier.close();

    ASSERT_TRUE(PickFromMenu(f, f.TextInputHex, QString::fromUtf8("Start log\u2026")));
    EXPECT_TRUE(f.MenuStartLog->isChecked());
    EXPECT_TRUE(f.MenuStartLog->toolTip().contains(h.logToChoose)) << f.MenuStartLog->toolTip().toStdString();
    ASSERT_TRUE(PickFromMenu(f, f.TextInput, "Stop log"));
    EXPECT_FALSE(f.MenuStartLog->isChecked() || f.MenuStopLog->isEnabled());
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(earlier.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << "appended to what was there";
    EXPECT_EQ(lines[2].section('\t', 1), "PORT\t\topen COM1 /dev/ttyS0 4800,N,8,1\t") << "what the line is";
}

TEST(FormLog, AFolderRemovedMidRunStopsLoggingWithTheMessageAndTheRunGoesOn)
{
    FormHarness h;
    const QString folder = h.folder.filePath("logs");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = h.logFile = folder + "/run.log";
    DurnixForm& f = h.Start();
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.01");
    SetVbValue(f.CheckRepeat, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= 3; }, 5000));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.logFailures.isEmpty(); }, 5000));
    EXPECT_TRUE(h.logFailures[0].contains(path + " cannot be written: No such file or directory"))
        << h.logFailures[0].toStdString();
    EXPECT_FALSE(f.MenuStartLog->isChecked());
    const qsizetype writes = h.comm.writes.size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= writes + 3; }, 5000));
    EXPECT_EQ(h.logFailures.size(), 1);
    h.Close();
    EXPECT_TRUE(h.ReadSettings().contains("Repeat=")) << "the settings file is written as ever";
}

} // namespace
