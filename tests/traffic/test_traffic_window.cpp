// The traffic window beside the main window, driven by the operator's keys, wheel and mouse.
#include "command/framing.h"
#include "form_harness.h"
#include "row_names.h"
#include "traffic/traffic_model.h"
#include "traffic/traffic_window.h"

#include <QClipboard>
#include <QGuiApplication>

namespace
{

struct TrafficForm : StartedForm {
    void SetUp() override
    {
        f.ComboProt->setCurrentIndex(AsciiCrlf);
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    }

    // Ctrl+T from the command box.
    TrafficWindow* Open()
    {
        QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_T, Qt::ControlModifier);
        return f.Traffic && QTest::qWaitForWindowExposed(f.Traffic) ? f.Traffic : nullptr;
    }

    // Typed into the command box and sent with Enter; the instrument answers `answer` with CR LF.
    void Send(const QString& command, const QByteArray& answer = {})
    {
        f.TextOutput->lineEdit()->selectAll();
        QTest::keyClicks(f.TextOutput->lineEdit(), command);
        QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_Return);
        if (!answer.isEmpty())
            h.comm.receive(answer + "\r\n");
    }

    bool Shows(int rows) const
    {
        return QTest::qWaitFor([&] { return f.Traffic->Table->model()->rowCount() == rows; }, 3000);
    }

    QStringList Rows() const
    {
        const QAbstractItemModel& model = *f.Traffic->Table->model();
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.index(row, TrafficModel::EventColumn).data().toString() + ' '
                    + model.index(row, TrafficModel::TextColumn).data().toString();
        return rows;
    }
};

using TrafficByHand = TrafficForm;

// Ctrl+T opens the window and sends through the main window fill it in order, with the log's records:
// Ctrl+A and Ctrl+C copy them as the log file has them, header first; Ctrl+F, a text and Enter select
// the next row whose text or hex holds it, round again at the end. "Traffic..." in each display's menu
// shows the same window again with every row kept.
TEST_F(TrafficByHand, FillsInOrderCopiesFindsAndReopens)
{
    TrafficWindow* window = Open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "Durnix - Traffic");
    QTest::mouseClick(window->ClearButton, Qt::LeftButton);
    const QString logPath = h.folder.filePath("traffic.log");
    ASSERT_TRUE(f.StartLog(logPath));
    Send("ID?", "D1");
    Send("R?", "7");
    Send("id?", "D2");
    ASSERT_TRUE(Shows(7));
    f.StopLog();
    const QStringList rows { "TX ID?", "RX D1<13><10>", "TX R?", "RX 7<13><10>", "TX id?", "RX D2<13><10>" };
    EXPECT_EQ(Rows().mid(1), rows) << "after the port's record";
    // The file is written on the log's own thread: wait for its header and eight records.
    QByteArray logged;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        QFile log(logPath);
        logged = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        return logged.count('\n') == 8;
    }));
    QTest::mouseClick(window->Table->viewport(), Qt::LeftButton, {},
        window->Table->visualRect(window->Table->model()->index(0, 0)).center());
    QTest::keyClick(window->Table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window->Table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8(logged));
    h.logToChoose = h.folder.filePath("saved.log");
    QTest::mouseClick(window->SaveButton, Qt::LeftButton);
    QFile saved(h.logToChoose);
    EXPECT_TRUE(saved.open(QIODevice::ReadOnly) && saved.readAll() == logged) << "Save writes the kept rows";

    QTest::keyClick(window->Table, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "Id");
    for (const int row : { 1, 5, 1 }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(window->Table->selectionModel()->selectedRows(),
            QModelIndexList { window->Table->model()->index(row, 0) });
    }
    QTest::keyClick(window->FindText, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(window->FindText, "44 32"); // the hex of "D2"
    QTest::keyClick(window->FindText, Qt::Key_Return);
    EXPECT_EQ(window->Table->currentIndex().row(), 6);

    for (QWidget* display : { static_cast<QWidget*>(f.TextOutputhex), static_cast<QWidget*>(f.TextInputHex),
             static_cast<QWidget*>(f.TextInput) }) {
        window->close();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QTest::mouseClick(
            f.windowHandle(), Qt::RightButton, {}, display->mapTo(&f, display->rect().center()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.DisplayMenu->isVisible(); }, 2000));
        QTest::mouseClick(f.DisplayMenu->windowHandle(), Qt::LeftButton, {},
            f.DisplayMenu->actionGeometry(f.MenuTraffic).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 2000))
            << display->objectName().toStdString();
        EXPECT_EQ(f.Traffic, window);
        EXPECT_EQ(Rows().mid(1), rows);
    }
}

// The window's place and size go into durnix.ini after the main window's keys, come back at the next
// start, and are written again by a run that never opened the window.
TEST(TrafficPlace, IsKeptAfterTheMainWindowsKeys)
{
    FormHarness h;
    QRect shown;
    QByteArray written;
    for (const bool open : { true, true, false }) {
        DurnixForm& f = h.Start();
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        if (open) {
            QTest::keyClick(f.TextOutput->lineEdit(), Qt::Key_T, Qt::ControlModifier);
            ASSERT_TRUE(f.Traffic);
            if (shown.isNull())
                f.Traffic->setGeometry(150, 120, 700, 450);
            else
                EXPECT_EQ(f.Traffic->geometry(), shown);
            shown = f.Traffic->geometry();
        }
        f.close();
        const QByteArray ini = h.ReadSettings();
        const QByteArray keys = ini.mid(ini.indexOf("\r\nLowLatency= 1 \r\n") + 18);
        EXPECT_TRUE(keys.startsWith("TrafficLeft=")) << ini.toStdString();
        EXPECT_TRUE(keys.endsWith("\r\nTrafficWidth= 10500 \r\nTrafficHeight= 6750 \r\n"))
            << ini.toStdString();
        EXPECT_EQ(keys, written.isEmpty() ? keys : written);
        written = keys;
    }
}

using TrafficFollowing = TrafficForm;

// The newest row stays in view until the operator scrolls up, and again once the end is back in view.
TEST_F(TrafficFollowing, StopsWhenScrolledUpAndResumesAtTheEnd)
{
    TrafficWindow* window = Open();
    ASSERT_TRUE(window);
    QScrollBar* bar = window->Table->verticalScrollBar();
    ASSERT_TRUE(Shows(1)) << "the port's record";
    // Rows reach the table in batches and the scroll bar takes in a batch once the view has laid it out.
    const auto sendMany = [&](int count) {
        const int rows = window->Table->model()->rowCount();
        const int range = bar->maximum();
        for (int i = 0; i < count; ++i)
            Send(QString::number(i));
        return Shows(rows + count) && QTest::qWaitFor([&] { return bar->maximum() > range; }, 3000);
    };
    ASSERT_TRUE(sendMany(100));
    EXPECT_EQ(bar->value(), bar->maximum());
    const auto wheel = [&](int notches) {
        QWidget* viewport = window->Table->viewport();
        const QPoint middle = viewport->rect().center();
        QWheelEvent turn(middle, viewport->mapToGlobal(middle), {}, { 0, 120 * notches }, Qt::NoButton, {},
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &turn);
    };
    wheel(3);
    const int away = bar->value();
    EXPECT_LT(away, bar->maximum());
    ASSERT_TRUE(sendMany(20));
    EXPECT_EQ(bar->value(), away) << "a view scrolled away stays where it is";
    for (int turn = 0; turn < 20; ++turn)
        wheel(-3);
    EXPECT_EQ(bar->value(), bar->maximum());
    ASSERT_TRUE(sendMany(20));
    EXPECT_EQ(bar->value(), bar->maximum()) << "back at the end it follows again";
}

} // namespace
