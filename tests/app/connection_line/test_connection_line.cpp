#include "form_harness.h"

#include <functional>

using LineStatus = StartedForm;
using DeviceAddress = StartedForm;

// Each pick is made as the operator makes it (index change, then activation); then the first box's
// entry is picked again. Every pick reopens the port once.
TEST(PortConfiguration, EachPickReopensThePortWithTheSelectedFormat)
{
    using Combo = QComboBox* DurnixForm::*;
    const std::tuple<std::vector<std::pair<Combo, int>>, int, QString> cases[] = {
        { { { &DurnixForm::ComboPort, 15 } }, 16, "4800,N,8,1" },
        { { { &DurnixForm::ComboPar, 4 }, { &DurnixForm::ComboBits, 2 }, { &DurnixForm::ComboStop, 1 } }, 1,
            "4800,M,7,2" },
        { { { &DurnixForm::ComboBPS, 5 }, { &DurnixForm::ComboPar, -1 } }, 1, "9600,8,1" },
        { { { &DurnixForm::ComboStop, -1 }, { &DurnixForm::ComboBits, -1 } }, 1, "4800,N,4" },
        { { { &DurnixForm::ComboPort, 4 }, { &DurnixForm::ComboPort, -1 } }, 1, "4800,N,8,1" },
    };
    for (const auto& [picks, port, settings] : cases) {
        FormHarness h;
        DurnixForm& f = h.Start();
        for (const auto& [combo, index] : picks) {
            (f.*combo)->setCurrentIndex(index);
            (f.*combo)->activated(index);
        }
        QCoreApplication::processEvents();
        (f.*picks[0].first)->activated((f.*picks[0].first)->currentIndex());
        EXPECT_EQ(h.comm.commPort(), port) << settings.toStdString();
        EXPECT_EQ(h.comm.settingsText, settings);
        EXPECT_EQ(h.comm.log.count("OPEN"), 2 + picks.size()) << settings.toStdString();
    }
}

// A second break clicked during the first is handled while the first holds.
TEST(LineControl, CheckBoxesAutoRtsAndBreakDriveTheLines)
{
    const QString packet = "WRITE 80 44 49 53 50 20 48 45 4C 4C 4F 03 6F";
    FormHarness h;
    h.WriteSettings("RTS= 1 \r\nAutoRTS= 1 \r\n");
    DurnixForm& f = h.Start();
    EXPECT_EQ(h.comm.log, QStringList({ "DTR=1", "RTS=0", "OPEN" })) << "AutoRTS is restored while loading";
    EXPECT_FALSE(f.CheckRTS->isEnabled());
    h.comm.log.clear();
    SetVbValue(f.CheckDTR, 0);
    SetVbValue(f.CheckAutoRTS, 0);
    SetVbValue(f.CheckRTS, 2);
    SetVbValue(f.CheckAutoRTS, 1);
    f.ComboBPS->setCurrentIndex(5); // 9600 8N1: 13 bytes take 14 ms with half a character
    EXPECT_EQ(h.comm.log, QStringList({ "DTR=0", "RTS=1", "RTS=0", "CLOSE", "DTR=0", "RTS=0", "OPEN" }));

    h.comm.log.clear();
    QStringList captions;
    QTimer::singleShot(0, &f, [&] {
        captions << f.CommandBreak->text();
        f.CommandBreak->click();
        captions << f.CommandBreak->text();
    });
    f.CommandBreak->click();
    EXPECT_EQ(captions << f.CommandBreak->text(), QStringList({ "&Break!", "&Break", "&Break" }));
    EXPECT_EQ(h.comm.log,
        QStringList({ "RTS=1", "BREAK=1", "RTS=1", "BREAK=1", "BREAK=0", "RTS=0", "BREAK=0", "RTS=0" }));

    h.comm.log.clear();
    f.CommandSend->click();
    SetVbValue(f.CheckAutoRTS, 0); // leaves RTS to the pending tick
    EXPECT_EQ(h.comm.log, QStringList({ "DISCARD", "RTS=1", packet }));
    EXPECT_EQ(f.RTSTimer->interval(), 14);
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.comm.log.size() == 4; }, 2000));
    EXPECT_EQ(h.comm.log.value(3), QString("RTS=0"));
    f.CommandSend->click();
    EXPECT_EQ(h.comm.log.mid(4), QStringList({ "DISCARD", packet }));
}

// Automatic RTS, checked by the operator's click or restored from the settings, goes to a driver that takes
// it: no RTS from the window and no timer. Where the driver refuses, the window's timer drives RTS as ever.
// The tooltip says which; unchecking hands RTS back from the driver.
TEST(LineControl, AutoRtsGoesToADriverThatTakesItAndElseToTheTimer)
{
    const QString packet = "WRITE 80 44 49 53 50 20 48 45 4C 4C 4F 03 6F";
    const std::tuple<const char*, bool, QByteArray, QStringList, int, QString> cases[] = {
        { "driver, clicked", true, "", { "DISCARD", packet }, 0, "RTS by the driver" },
        { "driver, restored", true, "AutoRTS= 1 \r\n", { "DISCARD", packet }, 0, "RTS by the driver" },
        { "timer, clicked", false, "", { "DISCARD", "RTS=1", packet }, 28, "RTS by a timer" },
        { "timer, restored", false, "AutoRTS= 1 \r\n", { "DISCARD", "RTS=1", packet }, 28, "RTS by a timer" },
    };
    for (const auto& [name, driver, settings, sent, interval, tooltip] : cases) {
        SCOPED_TRACE(name);
        FormHarness h;
        h.comm.driverRts = driver;
        h.WriteSettings(settings);
        DurnixForm& f = h.Start();
        EXPECT_EQ(f.CheckAutoRTS->toolTip(), settings.isEmpty() ? "" : tooltip);
        if (settings.isEmpty())
            QTest::mouseClick(f.CheckAutoRTS, Qt::LeftButton);
        EXPECT_TRUE(h.comm.autoRts);
        EXPECT_EQ(f.CheckAutoRTS->toolTip(), tooltip);
        h.comm.log.clear();
        QTest::mouseClick(f.CommandSend, Qt::LeftButton);
        EXPECT_EQ(h.comm.log, sent);
        EXPECT_EQ(f.RTSTimer->interval(), interval);
        QTest::mouseClick(f.CheckAutoRTS, Qt::LeftButton);
        EXPECT_FALSE(h.comm.autoRts);
        EXPECT_EQ(f.CheckAutoRTS->toolTip(), "");
    }
}

// What the open port adds (its USB latency timer, the way RTS goes) is in its PORT record and in the tooltip
// of its entry, next to the device; a port that fails to open shows the device alone.
TEST(PortConfiguration, ThePortsNotesAreInItsRecordAndItsEntrysTooltip)
{
    FormHarness h;
    h.logFile = h.folder.filePath("run.log");
    h.comm.notes = "; USB latency timer 1 ms (was 16 ms)";
    DurnixForm& f = h.Start();
    EXPECT_EQ(f.ComboPort->itemData(0, Qt::ToolTipRole).toString(),
        "/dev/ttyS0; USB latency timer 1 ms (was 16 ms)");
    QFile log(h.logFile);
    QByteArray written; // by the log's own thread, a moment later
    (void)QTest::qWaitFor(
        [&] {
            return (log.isOpen() || log.open(QIODevice::ReadOnly))
                && (written += log.readAll()).contains("PORT");
        },
        5000);
    EXPECT_TRUE(written.contains("open COM1 /dev/ttyS0 4800,N,8,1; USB latency timer 1 ms (was 16 ms)\t"))
        << written.toStdString();
    h.comm.failOpen = true;
    emit f.ComboPort->activated(0);
    EXPECT_EQ(f.ComboPort->itemData(0, Qt::ToolTipRole).toString(), "/dev/ttyS0");
}

// A click on Break, with the port open or closed (it failed at start-up), and automatic RTS on or off.
// Without automatic RTS the break never touches RTS, even a raised one; a closed port refuses the break,
// so the window does not wait at all (its clock is not read) and the caption is back at once.
TEST(LineControl, ABreakTouchesRtsOnlyWithAutoRtsAndHoldsOnlyOnAnOpenPort)
{
    const std::tuple<const char*, QByteArray, bool, QStringList, QString> cases[] = {
        { "open", "", true, { "BREAK=1", "BREAK=0" }, "&Break!" },
        { "open, RTS raised", "RTS= 1 \r\n", true, { "BREAK=1", "BREAK=0" }, "&Break!" },
        { "open, AutoRTS", "AutoRTS= 1 \r\n", true, { "RTS=1", "BREAK=1", "BREAK=0", "RTS=0" }, "&Break!" },
        { "closed", "", false, {}, "" },
        { "closed, RTS raised", "RTS= 1 \r\n", false, {}, "" },
        { "closed, AutoRTS", "AutoRTS= 1 \r\n", false, { "RTS=1", "RTS=0" }, "" },
    };
    for (const auto& [name, settings, open, lines, during] : cases) {
        SCOPED_TRACE(name);
        FormHarness h;
        h.WriteSettings(settings);
        h.comm.failOpen = !open;
        DurnixForm& f = h.Start();
        h.comm.log.clear();
        QString caption; // as the window shows it while it handles events during the break
        QTimer::singleShot(0, &f, [&] { caption = f.CommandBreak->text(); });
        const qint64 before = h.clockMs;
        QTest::mouseClick(f.CommandBreak, Qt::LeftButton);
        EXPECT_EQ(h.comm.log, lines);
        EXPECT_EQ(caption, during);
        EXPECT_EQ(f.CommandBreak->text(), QString("&Break"));
        if (open)
            EXPECT_GE(h.clockMs - before, 1500) << "the break holds 1.5 s";
        else
            EXPECT_EQ(h.clockMs, before) << "no wait";
    }
}

TEST_F(LineStatus, LampsLatchErrorsAndFollowTheModemLinesAndAFailedSetUpLeavesThem)
{
    FakeComm& comm = h.comm;
    const auto raise = [&comm](int code) { return [&comm, code] { comm.raise(code); }; };
    const auto line = [&comm](bool FakeComm::*state, bool up, int code) {
        return [&comm, state, up, code] { comm.*state = up, comm.raise(code); };
    };
    int repeatAfterSetUp = -1;
    // Framing, parity, CTS, DSR, DCD, RI: R red, G green, . black.
    const std::tuple<std::function<void()>, QString, int> steps[] = {
        { raise(MSComm::comEventFrame), "R.....", 1 },
        { raise(MSComm::comEventRxParity), "RR....", 3 },
        { [&] { comm.raise(MSComm::comEventFrame), comm.receive("ok"); }, "RR....", 3 },
        { [&] { QTest::mouseClick(f.TextInput, Qt::LeftButton); }, "......", 0 },
        { line(&FakeComm::cts, true, MSComm::comEvCTS), "..G...", 0 },
        { line(&FakeComm::dsr, true, MSComm::comEvDSR), "..GG..", 0 },
        { line(&FakeComm::cd, true, MSComm::comEvCD), "..GGG.", 0 },
        { [&] { comm.raise(MSComm::comEvRing), comm.raise(7); }, "..GGGG", 0 }, // 7: no event of the port
        { line(&FakeComm::dsr, false, MSComm::comEvDSR), "..G.G.", 0 },
        { [&] { comm.raise(MSComm::comEvRing), comm.raise(MSComm::comEventRxParity); }, ".RG.GG", 2 },
        { [&] { f.CommandSend->click(); }, "..G.GG", 0 },
        { raise(MSComm::comEventFrame), "R.G.GG", 1 },
        { [&] { SetVbValue(f.CheckRepeat, 1), comm.rejectSettings = true, comm.cts = false; }, "R.G.GG", 1 },
        { [&] { f.ComboPort->setCurrentIndex(1); }, "R.G.GG", 1 },
        { [&] { comm.rejectSettings = false, f.ComboPort->setCurrentIndex(2); }, "....G.", 0 },
        // A lost port shows its lines down; its beep and the end of repetition are the real device's test.
        { [&] { repeatAfterSetUp = VbValue(f.CheckRepeat), comm.cd = false, comm.lose(); }, "......", 0 },
    };
    const Lamp* lamps[] = { f.ShapeFraming, f.ShapeParity, f.ShapeCTS, f.ShapeDSR, f.ShapeDCD, f.ShapeRI };
    const QMap<QRgb, char> names
        = { { qRgb(255, 0, 0), 'R' }, { qRgb(0, 255, 0), 'G' }, { qRgb(0, 0, 0), '.' } };
    for (const auto& [act, shown, lineErrors] : steps) {
        act();
        QString text;
        for (const Lamp* lamp : lamps)
            text += names.value(lamp->fillColor().rgb(), '?');
        EXPECT_EQ(text, shown);
        EXPECT_EQ(f.LineErrors, lineErrors) << shown.toStdString();
    }
    EXPECT_EQ(h.portFailures, QStringList { "bad settings" }) << "one box for the failed set-up";
    EXPECT_EQ(repeatAfterSetUp, 0) << "which ends repetition";
}

// The text typed, then an arrow key given to the bar, which takes the focus by Tab: Up raises the address.
TEST_F(DeviceAddress, BoxAndBarStayInStepWithinTheBarsRange)
{
    const std::tuple<QString, int, QString, int> cases[]
        = { { "007", 0, "7", 248 }, { "2.5", 0, "3", 252 }, { "abc", 0, "0", 255 }, { "300", 0, "300", 0 },
              { "-5", 0, "-5", 255 }, { "7", 0, "7", 248 }, { "07", 0, "07", 248 }, { " &H1F", 0, "31", 224 },
              { "0", Qt::Key_Up, "1", 254 }, { "1", Qt::Key_Down, "0", 255 }, { "0", Qt::Key_Down, "0", 255 },
              { "255", Qt::Key_Up, "255", 0 }, { "300", Qt::Key_Down, "254", 1 } };
    for (const auto& [typed, arrow, text, bar] : cases) {
        f.TextAddr->setText(typed);
        if (arrow)
            QTest::keyClick(f.VScrollAddr, Qt::Key(arrow));
        EXPECT_EQ(f.TextAddr->text(), text) << typed.toStdString() << " arrow " << arrow;
        EXPECT_EQ(f.VScrollAddr->value(), bar) << typed.toStdString() << " arrow " << arrow;
    }
    for (int protocol : { 3, 0, 5, 6 }) {
        f.ComboProt->setCurrentIndex(protocol);
        EXPECT_EQ(f.TextAddr->isEnabled(), protocol != 3 && protocol != 5) << protocol;
    }
}

// Each loss of an open port shows one box of its own besides the beep, naming the port, its device as the
// port map gives it, and the cause; a port that never opened, or failed to reopen, has the failure box only.
TEST(PortLost, EachLossOfAnOpenPortShowsOneBoxNamingThePortItsDeviceAndTheCause)
{
    FormHarness h;
    h.portMap.SetPath(3, "rfc2217://127.0.0.1:4000");
    h.comm.failOpen = true;
    DurnixForm& f = h.Start();
    const auto pick = [&f](int index) {
        f.ComboPort->setCurrentIndex(index);
        emit f.ComboPort->activated(index);
    };
    const auto lose = [&h](const QString& error) { h.comm.error = error, h.comm.lose(); };
    const QString com1 = "COM1 (/dev/ttyS0) was lost: gone\n\nPick COM1 again to reopen it.";
    const QString com3 = "COM3 (rfc2217://127.0.0.1:4000) was lost: the connection was lost.\n\n"
                         "Pick COM3 again to reopen it.";
    int repeatAfterLoss = -1;
    // What happens; the failure boxes and the lost-port boxes shown so far.
    const std::tuple<const char*, std::function<void()>, int, QStringList> steps[] = {
        { "never open", [] {}, 1, {} },
        { "opened", [&] { h.comm.failOpen = false, pick(0); }, 1, {} },
        { "lost while repeating",
            [&] { SetVbValue(f.CheckRepeat, 1), lose("gone"), repeatAfterLoss = VbValue(f.CheckRepeat); }, 1,
            { com1 } },
        { "another port lost, whose reason names the device too",
            [&] { pick(2), lose("rfc2217://127.0.0.1:4000: the connection was lost."); }, 1, { com1, com3 } },
        { "a failed reopen", [&] { h.comm.failOpen = true, pick(0); }, 2, { com1, com3 } },
    };
    for (const auto& [name, act, failures, losses] : steps) {
        SCOPED_TRACE(name);
        act();
        EXPECT_EQ(h.portFailures.size(), failures);
        EXPECT_EQ(h.portLosses, losses);
        EXPECT_EQ(h.beeps, losses.size()) << "the beep stays";
    }
    EXPECT_EQ(repeatAfterLoss, 0);
}

// The program's own boxes, for a lost port and for a log that cannot be written, wait for nobody: the
// handler returns with the box open. Each belongs to the window, so closing the window with the box still
// open writes durnix.ini and ends the program's event loop.
TEST(PortLost, TheRealBoxesWaitForNobodyAndClosingTheWindowStillEndsTheProgram)
{
    const std::pair<const char*, std::function<void(FormHarness&, DurnixForm&)>> boxes[] = {
        { "COM1 (/dev/ttyS0) was lost: gone",
            [](FormHarness& h, DurnixForm&) {
                h.comm.error = "gone";
                h.comm.lose();
            } },
        { "The log ", [](FormHarness& h, DurnixForm& f) { f.StartLog(h.folder.path()); } },
    };
    for (const auto& [text, open] : boxes) {
        FormHarness h;
        FormServices services = h.Services();
        const FormServices desktop = DesktopServices(h.folder.path(), h.portMap);
        services.showPortLost = desktop.showPortLost;
        services.showLogFailure = desktop.showLogFailure;
        DurnixForm f(h.comm, services);
        f.show();
        bool returned = false, waited = false;
        QTimer::singleShot(0, &f, [&] {
            waited = !returned;
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        open(h, f);
        returned = true;
        EXPECT_FALSE(waited) << "the box ran an event loop of its own";
        const QMessageBox* box = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && qobject_cast<QMessageBox*>(window))
                box = qobject_cast<QMessageBox*>(window);
        ASSERT_TRUE(box) << "no box on the screen: " << text;
        EXPECT_FALSE(box->isModal());
        EXPECT_EQ(box->windowTitle(), "Durnix");
        EXPECT_TRUE(box->text().startsWith(text)) << box->text().toStdString();

        QTimer::singleShot(0, &f, [&f] { f.close(); });
        QTimer::singleShot(5000, &f, [] { QCoreApplication::exit(1); }); // should the program go on
        EXPECT_EQ(QApplication::exec(), 0) << "the box kept the program running: " << text;
        EXPECT_TRUE(h.ReadSettings().contains("Prot=")) << "durnix.ini was written";
    }
}
