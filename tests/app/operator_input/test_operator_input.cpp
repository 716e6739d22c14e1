// The window as the operator's hands use it: every event here is a real mouse
// click or key press given to the real widget where it stands.
#include "form_harness.h"

#include <functional>

namespace
{

// A stretched check box takes clicks only on its box and caption, near the left.
void Click(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

void PickFromList(QComboBox* box, int row)
{
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
}

// One notch of the wheel over the box: down moves to the next entry.
void Wheel(QComboBox* box, int notches)
{
    const QPointF centre = box->rect().center();
    QWheelEvent turn(centre, box->mapToGlobal(centre), {}, { 0, -120 * notches }, Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &turn);
}

struct EachCheckBox : StartedForm, testing::WithParamInterface<const char*> {
};

} // namespace

// Unchecked, a click checks; a second click or the space key clears; a box the
// program greyed is cleared by one click. One change signal each time.
TEST_P(EachCheckBox, AClickOrSpaceTogglesAndClearsAGreyedBox)
{
    auto* box = f.findChild<QCheckBox*>(GetParam());
    ASSERT_NE(box, nullptr);
    if (!box->isEnabled()) // the pieces box belongs to file mode
        QTest::mouseClick(f.OptionModeFile, Qt::LeftButton, {}, QPoint(6, 6));
    SetVbValue(box, 0);
    QSignalSpy changes(box, &QCheckBox::stateChanged);
    Click(box);
    EXPECT_EQ(VbValue(box), 1);
    Click(box);
    EXPECT_EQ(VbValue(box), 0);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(VbValue(box), 1);
    SetVbValue(box, 2);
    Click(box);
    EXPECT_EQ(VbValue(box), 0) << "a greyed box counts as set; a click clears it";
    EXPECT_EQ(changes.count(), 5);
}

INSTANTIATE_TEST_SUITE_P(Window, EachCheckBox,
    testing::Values("CheckDTR", "CheckRTS", "CheckAutoRTS", "CheckRepeat", "CheckWaitForResponse", "CheckHex",
        "CheckDisp", "CheckAA", "CheckPatkittain"),
    [](const auto& info) { return std::string(info.param); });

using OperatorInput = StartedForm;

// A pick from the list or a turn of the wheel sets the port up once: one failure box for a port that
// fails to open. The box runs the event loop while it waits for OK, as a real one does (the next test
// picks by an arrow key).
TEST(PortPicking, APickFromTheListOrByTheWheelSetsThePortUpOnce)
{
    const QStringList failed = { "CLOSE", "DTR=1", "RTS=0" }, opened = failed + QStringList { "OPEN" };
    const std::tuple<const char*, std::function<void(QComboBox*)>, bool, QString, int, QStringList> cases[]
        = {
              { "list", [](QComboBox* box) { PickFromList(box, 1); }, true, "COM2", 1, failed },
              { "wheel down", [](QComboBox* box) { Wheel(box, 1); }, true, "COM2", 1, failed },
              { "wheel down, port opens", [](QComboBox* box) { Wheel(box, 1); }, false, "COM2", 0, opened },
              { "wheel up at the first entry", [](QComboBox* box) { Wheel(box, -1); }, true, "COM1", 0, {} },
          };
    for (const auto& [name, pick, failOpen, port, boxes, lines] : cases) {
        SCOPED_TRACE(name);
        FormHarness h;
        DurnixForm& f = h.Start();
        h.portFailureBoxMs = 50;
        h.comm.failOpen = failOpen;
        h.comm.log.clear();
        pick(f.ComboPort);
        QTest::qWait(20);
        EXPECT_EQ(f.ComboPort->currentText(), port);
        EXPECT_EQ(h.portFailures.size(), boxes);
        EXPECT_EQ(h.comm.log, lines) << "ConfigurePort runs once";
    }
}

// Typing the exact text of another entry and leaving the box by Tab or Enter
// selects nothing; the speed box reopens the port with the typed text at each keystroke only, the
// protocol box leaves the address box as it was, and the command box keeps its check boxes.
TEST(PortTyping, AnotherEntrysTextTypedInABoxSelectsNothing)
{
    const std::tuple<QComboBox * DurnixForm::*, const char*, Qt::Key, int> cases[] = {
        { &DurnixForm::ComboPort, "COM3", Qt::Key_Tab, 0 },
        { &DurnixForm::ComboPort, "COM3", Qt::Key_Return, 0 },
        { &DurnixForm::ComboBits, "7", Qt::Key_Tab, 0 }, { &DurnixForm::ComboPar, "E", Qt::Key_Return, 0 },
        { &DurnixForm::ComboStop, "2", Qt::Key_Tab, 0 }, { &DurnixForm::ComboBPS, "9600", Qt::Key_Return, 4 },
        { &DurnixForm::ComboProt, "Modbus RTU", Qt::Key_Return, 0 },
        { &DurnixForm::ComboProt, "As is", Qt::Key_Tab, 0 },
        { &DurnixForm::TextOutput, "PING", Qt::Key_Tab, 0 }
    };
    for (const auto& [combo, text, key, opens] : cases) {
        FormHarness h;
        DurnixForm& f = h.Start();
        f.show();
        f.activateWindow(); // else Tab would not take the focus out of the box
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        f.Recent.Remember("PING", 1, 1);
        f.TextOutput->setItemText(0, "PING");
        QComboBox* box = f.*combo;
        const int index = box->currentIndex();
        box->setFocus();
        box->lineEdit()->selectAll();
        const qsizetype before = h.comm.log.count("OPEN");
        QTest::keyClicks(box->lineEdit(), text);
        QTest::keyClick(box->lineEdit(), key);
        EXPECT_EQ(h.comm.log.count("OPEN") - before, opens) << text;
        EXPECT_EQ(box->currentIndex(), index) << text;
        EXPECT_EQ(box->currentText(), text);
        EXPECT_EQ(h.comm.settingsText, opens ? QString(text) + ",N,8,1" : "4800,N,8,1") << "the typed speed";
        EXPECT_EQ(VbValue(f.CheckHex), 0) << text;
        EXPECT_TRUE(f.TextAddr->isEnabled()) << text;
    }
}

// Behind "Failed to init Com!" the repeat timer is held: no tick sends, beeps
// or counts down until the operator has pressed OK, and then repetition is off.
TEST_F(OperatorInput, NoRepeatTickRunsWhileThePortFailureBoxIsOpen)
{
    h.portFailureBoxMs = 300;
    f.TextRepeat->setText("0.01");
    f.TextCount->setText("1000");
    Click(f.CheckRepeat);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= 3; }, 2000));
    h.comm.failOpen = true;
    const qsizetype sent = h.comm.writes.size();
    QTest::keyClick(f.ComboPort, Qt::Key_Down);
    EXPECT_EQ(h.portFailures.size(), 1) << "one box for one pick by the arrow key";
    EXPECT_EQ(h.comm.writes.size(), sent);
    EXPECT_EQ(h.beeps, 0);
    EXPECT_EQ(f.TextCount->text().toInt(), 1000 - int(sent));
    EXPECT_EQ(VbValue(f.CheckRepeat), 0);
}
