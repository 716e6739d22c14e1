// The displays' right-click menu, and a log whose file goes away, on FakeComm.
#include "command/framing.h"
#include "form_harness.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>

namespace
{

using ::testing::AssertionFailure;

// Right-clicks `display` through the window system, as a mouse does, and picks `entry` from the menu.
::testing::AssertionResult PickFromMenu(DurnixForm& f, QWidget* display, const QString& entry)
{
    f.show();
    if (!QTest::qWaitForWindowExposed(&f))
        return AssertionFailure() << "the window never showed";
    QTest::mouseClick(f.windowHandle(), Qt::RightButton, {}, display->mapTo(&f, display->rect().center()));
    QMenu* menu = f.DisplayMenu;
    const QList<QAction*> actions = menu->actions();
    const auto action = std::ranges::find(actions, entry, &QAction::text);
    if (!QTest::qWaitFor([&] { return menu->isVisible(); }, 2000) || action == actions.end())
        return AssertionFailure() << "no menu with " << entry.toStdString();
    QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, menu->actionGeometry(*action).center());
    return ::testing::AssertionSuccess();
}

using DisplayMenu = StartedForm;

// The right clicks copy what each display shows and clear nothing; what happens on the line between Start
// log and Stop log is appended to the chosen file.
TEST_F(DisplayMenu, CopiesEachDisplayAndLogsTheLineFromStartLogToStopLog)
{
    h.logToChoose = h.folder.filePath("traffic.log");
    QFile log(h.logToChoose);
    ASSERT_TRUE(log.open(QIODevice::WriteOnly) && log.write("earlier\n"));
    log.close();
    ASSERT_TRUE(PickFromMenu(f, f.TextInputHex, QString::fromUtf8("Start log\u2026")));

    f.ComboProt->setCurrentIndex(AsIs);
    f.TextOutput->setEditText("Q");
    f.CommandSend->click();
    h.comm.receive("AB\r\n");
    h.comm.raise(MSComm::comEventFrame);
    h.comm.cts = true;
    h.comm.raise(MSComm::comEvCTS);
    const std::pair<DisplayLabel*, QString> displays[]
        = { { f.TextOutputhex, "51 " }, { f.TextInputHex, "41 42 0D 0A " }, { f.TextInput, "AB<13>\n<10>" } };
    for (const auto& [display, shown] : displays) {
        QGuiApplication::clipboard()->clear();
        ASSERT_TRUE(PickFromMenu(f, display, "Copy"));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), shown) << display->objectName().toStdString();
    }
    EXPECT_EQ(f.LineErrors, 1) << "a right click on the answer is no click";
    QTest::qWait(100); // an answer "As is" ends once the line has been quiet for 50 ms
    h.comm.error = "gone";
    h.comm.lose();
    h.comm.failOpen = true;
    emit f.ComboPort->activated(0);

    ASSERT_TRUE(PickFromMenu(f, f.TextInput, "Stop log"));
    EXPECT_FALSE(f.MenuStartLog->isChecked() || f.MenuStopLog->isEnabled());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    QByteArray written; // by the log's own thread, a moment after Stop log
    ASSERT_TRUE(QTest::qWaitFor([&] { return (written += log.readAll()).contains("failed COM1"); }, 5000));
    QStringList records; // without the time and the ms
    for (const QString& line : QString::fromUtf8(written).split('\n', Qt::SkipEmptyParts))
        records << line.section('\t', 1, 3);
    // Appended to what was there without a header, the answer without the display's line breaks.
    EXPECT_EQ(records,
        QStringList({ "", "PORT\t\topen COM1 /dev/ttyS0 4800,N,8,1", "TX\t51\tQ", "LINE\t\tframing error",
            "LINE\t\tCTS on", "RX\t41 42 0D 0A\tAB<13><10>", "PORT\t\tlost COM1: gone",
            "PORT\t\tfailed COM1: no such device" }));
}

TEST(FormLog, ALogGivenAtStartWhoseFolderGoesStopsWithOneMessageAndTheRunGoesOn)
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
    // Past the writer's next flush, which must not report the failure again.
    const qsizetype writes = h.comm.writes.size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= writes + 60; }, 5000));
    EXPECT_EQ(h.logFailures.size(), 1);
}

} // namespace
