// Every control of the window as the operator meets it after a first start without a settings file.
#include "app/display_label.h"
#include "app/lamp.h"
#include "app/twips.h"
#include "form_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

struct Control {
    QString frame;
    const char* name;
    QString kind;
    QString caption;
    QString tooltip;
    QString content; // for a list: the text shown, then its entries in order
    QRect twips;
    bool enabled = true;
};

void PrintTo(const Control& control, std::ostream* out)
{
    *out << control.name;
}

QString List(const QString& shown, const QStringList& entries)
{
    return shown + " [" + entries.join('|') + ']';
}

QString Ports()
{
    QStringList ports;
    for (int port = 1; port <= 16; ++port)
        ports << QString("COM%1").arg(port);
    return List("COM1", ports);
}

// A check box is two-state for the operator: clicked near its left edge, it turns over and back. Only the
// program may grey it (a restored setting). Every check-box row fails here while a click still greys.
QString CheckBoxKind(QCheckBox* check)
{
    const Qt::CheckState before = check->checkState();
    QList<Qt::CheckState> states;
    for (int click = 0; click < 2 && check->isEnabled(); ++click) {
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        states << check->checkState();
    }
    const bool twoState = states.isEmpty()
        || (states[0] == (before == Qt::Checked ? Qt::Unchecked : Qt::Checked) && states[1] == before);
    return twoState ? "check box" : "check box greyed by a click";
}

QString KindOf(QWidget* w)
{
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->isEditable() ? "editable combo" : "list combo";
    if (auto* check = qobject_cast<QCheckBox*>(w))
        return CheckBoxKind(check);
    if (auto* bar = qobject_cast<QScrollBar*>(w))
        return bar->orientation() == Qt::Vertical ? "vertical scroll bar" : "scroll bar";
    const std::pair<const char*, const char*> kinds[] = { { "QRadioButton", "option button" },
        { "QPushButton", "button" }, { "QLineEdit", "text box" }, { "Lamp", "lamp" },
        { "DisplayLabel", "bordered label" }, { "QLabel", "label" }, { "QGroupBox", "frame" } };
    for (const auto& [className, kind] : kinds)
        if (w->inherits(className))
            return kind;
    return w->metaObject()->className();
}

// A text box's text is its content; frames have a title, buttons and labels a text.
QString CaptionOf(const QWidget* w)
{
    return w->inherits("QLineEdit") ? QString()
                                    : w->property(w->inherits("QGroupBox") ? "title" : "text").toString();
}

QString ContentOf(const QWidget* w)
{
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
        return List(combo->currentText(), entries);
    }
    if (auto* check = qobject_cast<const QCheckBox*>(w))
        return QStringList { "unchecked", "greyed", "checked" }.value(check->checkState());
    if (auto* option = qobject_cast<const QRadioButton*>(w))
        return option->isChecked() ? "selected" : "";
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (auto* bar = qobject_cast<const QScrollBar*>(w))
        return QString("%1 to %2 at %3").arg(bar->minimum()).arg(bar->maximum()).arg(bar->value());
    if (auto* lamp = qobject_cast<const Lamp*>(w))
        return lamp->fillColor().name();
    if (auto* display = qobject_cast<const DisplayLabel*>(w))
        return display->text();
    return {};
}

const QString kSpeeds = List("4800",
    { "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200" });
const QString kProtocols = List("VXB, with BCC",
    { "VXB, with BCC", "VXB, no BCC", "VXB, wrong BCC", "ASCII CRLF", "VXB-Ravo", "As is", "Modbus RTU",
        "HART" });
const QString kBlack = "#000000";

// Free text is the mode at start-up; the controls of the other modes wait greyed.
const Control kControls[] = {
    { "DurnixForm", "Frame1", "frame", "Connection", "", "", { 0, 0, 2952, 2268 } },
    { "Frame1", "Label1", "label", "Port", "", "", { 120, 300, 348, 192 } },
    { "Frame1", "ComboPort", "editable combo", "", "", Ports(), { 1080, 240, 1212, 288 } },
    { "Frame1", "Label2", "label", "Baud", "", "", { 120, 600, 444, 192 } },
    { "Frame1", "ComboBPS", "editable combo", "", "", kSpeeds, { 1080, 540, 1212, 288 } },
    { "Frame1", "Label8", "label", "Parity", "", "", { 120, 900, 492, 192 } },
    { "Frame1", "ComboBits", "editable combo", "", "", List("8", { "5", "6", "7", "8" }),
        { 1080, 840, 552, 288 } },
    { "Frame1", "ComboPar", "editable combo", "", "", List("N", { "N", "O", "E", "S", "M" }),
        { 1620, 840, 672, 288 } },
    { "Frame1", "ComboStop", "editable combo", "", "", List("1", { "1", "2" }), { 2280, 840, 552, 288 } },
    { "Frame1", "Label5", "label", "Protocol", "", "", { 120, 1200, 708, 192 } },
    { "Frame1", "ComboProt", "editable combo", "", "", kProtocols, { 1080, 1140, 1752, 288 } },
    { "Frame1", "Label4", "label", "Address", "", "", { 120, 1500, 708, 192 } },
    { "Frame1", "TextAddr", "text box", "", "", "0", { 1080, 1440, 792, 312 } },
    { "Frame1", "VScrollAddr", "vertical scroll bar", "", "", "0 to 255 at 255", { 1860, 1440, 192, 312 } },

    { "DurnixForm", "Frame2", "frame", "Line", "", "", { 3000, 960, 2772, 1332 } },
    { "Frame2", "CheckDTR", "check box", "DTR", "", "checked", { 120, 300, 852, 192 } },
    { "Frame2", "CheckRTS", "check box", "RTS", "", "unchecked", { 120, 540, 852, 192 } },
    { "Frame2", "CheckAutoRTS", "check box", "AutoRTS", "", "unchecked", { 120, 780, 1152, 192 } },
    { "Frame2", "CommandBreak", "button", "&Break", "", "", { 120, 1020, 1080, 252 } },
    { "Frame2", "ShapeFraming", "lamp", "", "", kBlack, { 1080, 156, 192, 192 } },
    { "Frame2", "Label9", "label", "Framing error", "", "", { 1380, 156, 1392, 192 } },
    { "Frame2", "ShapeParity", "lamp", "", "", kBlack, { 1080, 396, 192, 192 } },
    { "Frame2", "Label10", "label", "Parity error", "", "", { 1380, 387, 1392, 192 } },
    { "Frame2", "ShapeDSR", "lamp", "", "", kBlack, { 1440, 648, 192, 192 } },
    { "Frame2", "Label3", "label", "DSR", "", "", { 1740, 630, 435, 195 } },
    { "Frame2", "ShapeRI", "lamp", "", "", kBlack, { 2460, 660, 195, 195 } },
    { "Frame2", "Label12", "label", "RI", "", "", { 2220, 900, 435, 195 } },
    { "Frame2", "ShapeDCD", "lamp", "", "", kBlack, { 1440, 864, 192, 192 } },
    { "Frame2", "Label7", "label", "DCD", "", "", { 1740, 852, 1392, 192 } },
    { "Frame2", "ShapeCTS", "lamp", "", "", kBlack, { 1440, 1080, 192, 192 } },
    { "Frame2", "CTS", "label", "CTS", "", "", { 1740, 1080, 1392, 192 } },

    { "DurnixForm", "Frame3", "frame", "Repeat", "", "", { 3000, 0, 2772, 912 } },
    { "Frame3", "Label6", "label", "Interval", "", "", { 180, 300, 624, 192 } },
    { "Frame3", "TextRepeat", "text box", "", "Repeat interval in seconds", "0", { 960, 240, 615, 252 } },
    { "Frame3", "CheckRepeat", "check box", "&Repeat", "", "unchecked", { 1680, 240, 1032, 252 } },
    { "Frame3", "Label11", "label", "Times", "", "", { 180, 600, 528, 192 } },
    { "Frame3", "TextCount", "text box", "", "Repeat count limit", "", { 960, 540, 612, 252 } },
    { "Frame3", "CheckWaitForResponse", "check box", "WFR",
        "Wait for response from the device before sending the next repeat", "unchecked",
        { 1680, 540, 975, 195 } },

    { "DurnixForm", "Frame4", "frame", "Command", "", "", { 0, 2340, 5772, 3072 } },
    { "Frame4", "OptionModeFree", "option button", "&Free text", "Write any command to the command box",
        "selected", { 120, 240, 1572, 255 } },
    { "Frame4", "OptionModeTime", "option button", "R&unning", "Sends running values", "",
        { 120, 600, 1572, 252 } },
    { "Frame4", "OptionModeFile", "option button", "F&ile", "Sends commands from a file", "",
        { 120, 960, 1512, 252 } },
    { "Frame4", "CheckHex", "check box", "As hexadecimal",
        "You have written the command in hexadecimal numbers, FF FF FF or FFFFFF", "unchecked",
        { 1680, 240, 1932, 252 } },
    { "Frame4", "ComboTime", "list combo", "", "", List("ss", { "ss", "hh.mm", "hh.mm.ss", "mm.ss", "NN" }),
        { 1680, 600, 1572, 288 }, false },
    { "Frame4", "LabelChars", "label", "Disp len", "", "", { 1680, 996, 696, 192 }, false },
    { "Frame4", "TextChars", "text box", "", "Device display length", "6", { 2640, 960, 615, 288 }, false },
    { "Frame4", "CheckPatkittain", "check box", "No scroll", "Show text in pieces, not scrolling",
        "unchecked", { 3360, 1020, 1992, 192 }, false },
    { "Frame4", "CheckDisp", "check box", "DISP", "Add DISP in front of the command", "unchecked",
        { 4680, 240, 972, 252 } },
    { "Frame4", "CheckAA", "check box", QString::fromUtf8("Ä->#A"),
        QString::fromUtf8("Converts Ä to #A and Ö to #O"), "unchecked", { 4680, 480, 1032, 192 } },
    { "Frame4", "TextOutput", "editable combo", "", "", List("DISP HELLO", QStringList(5, "")),
        { 120, 1440, 5532, 396 } },
    { "Frame4", "TextOutputhex", "bordered label", "", "Command packet", "", { 120, 1920, 5532, 252 } },
    { "Frame4", "CommandSend", "button", "Send", "", "", { 120, 2280, 5532, 615 } },

    { "DurnixForm", "Frame5", "frame", "Response", "", "", { 0, 5460, 5772, 1032 } },
    { "Frame5", "TextInputHex", "bordered label", "", "Response packet as is", "", { 120, 240, 5532, 252 } },
    { "Frame5", "TextInput", "bordered label", "", "Interpreted response - click to clear", "",
        { 120, 540, 5532, 372 } },
};

// Tab visits these in turn; the address bar, too, takes the focus, so that the arrow keys step the address.
// It passes over greyed controls, and of the option buttons it stops only at the selected one: the arrow keys
// move within the group.
const char* const kTabOrder[]
    = { "ComboPort", "ComboBPS", "ComboBits", "ComboPar", "ComboStop", "ComboProt", "TextAddr", "VScrollAddr",
          "TextRepeat", "CheckRepeat", "TextCount", "CheckDTR", "CheckRTS", "CommandBreak", "OptionModeFree",
          "CheckHex", "OptionModeTime", "ComboTime", "OptionModeFile", "TextChars", "CheckPatkittain",
          "CheckDisp", "CheckAA", "TextOutput", "CommandSend", "CheckAutoRTS", "CheckWaitForResponse" };

using EveryControl = ::testing::TestWithParam<Control>;

TEST_P(EveryControl, IsAsDesigned)
{
    const Control& c = GetParam();
    FormHarness h;
    DurnixForm& f = h.Start();
    auto* w = f.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), c.frame);
    EXPECT_EQ(w->geometry(), TwipsRect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()));
    EXPECT_EQ(w->isEnabled(), c.enabled);
    EXPECT_EQ(CaptionOf(w), c.caption);
    EXPECT_EQ(w->toolTip(), c.tooltip);
    EXPECT_EQ(ContentOf(w), c.content);
    EXPECT_EQ(KindOf(w), c.kind) << "the kind is last: a check box is clicked to tell it";
}

INSTANTIATE_TEST_SUITE_P(Window, EveryControl, ::testing::ValuesIn(kControls),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Window, StartsAtItsDesignSizeWithTheVersionInItsCaptionAndThePortOpenOnce)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    EXPECT_EQ(
        f.windowTitle(), QString("Durnix - V%1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR));
    EXPECT_EQ(f.size(), TwipsRect(0, 0, 5865, 6660).size());
    EXPECT_EQ(h.comm.log, QStringList({ "DTR=1", "RTS=0", "OPEN" }));
    EXPECT_EQ(h.comm.commPort(), 1);
    EXPECT_EQ(h.comm.settingsText, QString("4800,N,8,1"));
    EXPECT_TRUE(h.portFailures.isEmpty());
}

TEST(Window, TabVisitsTheEnabledControlsInTheirOrder)
{
    FormHarness h;
    DurnixForm& f = h.Start();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.ComboPort->setFocus();
    QStringList order, expected, visited;
    for (const char* name : kTabOrder)
        if (order << name; f.findChild<QWidget*>(name)->isEnabled()
            && (!f.findChild<QRadioButton*>(name) || f.findChild<QRadioButton*>(name)->isChecked()))
            expected << name;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        while (focus && !order.contains(focus->objectName()))
            focus = focus->parentWidget(); // the line edit inside an editable combo
        visited << (focus ? focus->objectName() : QString("(none)"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

} // namespace
