// Every control of the window as the operator meets it after a first start without a settings file.
#include "app/twips.h"
#include "form_harness.h"
#include "row_names.h"

namespace
{

struct Control {
    int frame; // 0 for the window itself
    const char* name;
    QString kind;
    QString caption;
    QString content; // for a list: the text shown, then its entries in order
    QRect twips;
    QString tooltip = {};
    bool enabled = true;
    DURNIX_PRINTS_ITS_NAME(Control)
};

QString List(const QString& shown, const QStringList& entries)
{
    return shown + " [" + entries.join('|') + ']';
}

QString KindOf(QWidget* w)
{
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->isEditable() ? "editable combo" : "list combo";
    if (auto* bar = qobject_cast<QScrollBar*>(w))
        return bar->orientation() == Qt::Vertical ? "vertical scroll bar" : "scroll bar";
    const std::pair<const char*, const char*> kinds[]
        = { { "QCheckBox", "check box" }, { "QRadioButton", "option button" }, { "QPushButton", "button" },
              { "QLineEdit", "text box" }, { "Lamp", "lamp" }, { "DisplayLabel", "bordered label" },
              { "QLabel", "label" }, { "QGroupBox", "frame" } };
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

const QString kPorts = List("COM1",
    { "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9", "COM10", "COM11", "COM12",
        "COM13", "COM14", "COM15", "COM16" });
const QString kSpeeds = List("4800",
    { "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "57600", "115200" });
const QString kProtocols = List("VXB, with BCC",
    { "VXB, with BCC", "VXB, no BCC", "VXB, wrong BCC", "ASCII CRLF", "VXB-Ravo", "As is", "Modbus RTU",
        "HART" });
const QString kBlack = "#000000";
const char *const kCombo = "editable combo", *const kCheck = "check box", *const kLabel = "label",
                  *const kLamp = "lamp", *const kText = "text box", *const kOption = "option button",
                  *const kDisplay = "bordered label";

// Free text is the mode at start-up; the controls of the other modes wait greyed.
const Control kControls[] = {
    { 0, "Frame1", "frame", "Connection", "", { 0, 0, 2952, 2268 } },
    { 1, "Label1", kLabel, "Port", "", { 120, 300, 348, 192 } },
    { 1, "ComboPort", kCombo, "", kPorts, { 1080, 240, 1212, 288 } },
    { 1, "Label2", kLabel, "Baud", "", { 120, 600, 444, 192 } },
    { 1, "ComboBPS", kCombo, "", kSpeeds, { 1080, 540, 1212, 288 } },
    { 1, "Label8", kLabel, "Parity", "", { 120, 900, 492, 192 } },
    { 1, "ComboBits", kCombo, "", List("8", { "5", "6", "7", "8" }), { 1080, 840, 552, 288 } },
    { 1, "ComboPar", kCombo, "", List("N", { "N", "O", "E", "S", "M" }), { 1620, 840, 672, 288 } },
    { 1, "ComboStop", kCombo, "", List("1", { "1", "2" }), { 2280, 840, 552, 288 } },
    { 1, "Label5", kLabel, "Protocol", "", { 120, 1200, 708, 192 } },
    { 1, "ComboProt", kCombo, "", kProtocols, { 1080, 1140, 1752, 288 } },
    { 1, "Label4", kLabel, "Address", "", { 120, 1500, 708, 192 } },
    { 1, "TextAddr", kText, "", "0", { 1080, 1440, 792, 312 } },
    { 1, "VScrollAddr", "vertical scroll bar", "", "0 to 255 at 255", { 1860, 1440, 192, 312 } },

    { 0, "Frame2", "frame", "Line", "", { 3000, 960, 2772, 1332 } },
    { 2, "CheckDTR", kCheck, "DTR", "checked", { 120, 300, 852, 192 } },
    { 2, "CheckRTS", kCheck, "RTS", "unchecked", { 120, 540, 852, 192 } },
    { 2, "CheckAutoRTS", kCheck, "AutoRTS", "unchecked", { 120, 780, 1152, 192 } },
    { 2, "CommandBreak", "button", "&Break", "", { 120, 1020, 1080, 252 } },
    { 2, "ShapeFraming", kLamp, "", kBlack, { 1080, 156, 192, 192 } },
    { 2, "Label9", kLabel, "Framing error", "", { 1380, 156, 1392, 192 } },
    { 2, "ShapeParity", kLamp, "", kBlack, { 1080, 396, 192, 192 } },
    { 2, "Label10", kLabel, "Parity error", "", { 1380, 387, 1392, 192 } },
    { 2, "ShapeDSR", kLamp, "", kBlack, { 1440, 648, 192, 192 } },
    { 2, "Label3", kLabel, "DSR", "", { 1740, 630, 435, 195 } },
    { 2, "ShapeRI", kLamp, "", kBlack, { 2460, 660, 195, 195 } },
    { 2, "Label12", kLabel, "RI", "", { 2220, 900, 435, 195 } },
    { 2, "ShapeDCD", kLamp, "", kBlack, { 1440, 864, 192, 192 } },
    { 2, "Label7", kLabel, "DCD", "", { 1740, 852, 1392, 192 } },
    { 2, "ShapeCTS", kLamp, "", kBlack, { 1440, 1080, 192, 192 } },
    { 2, "CTS", kLabel, "CTS", "", { 1740, 1080, 1392, 192 } },

    { 0, "Frame3", "frame", "Repeat", "", { 3000, 0, 2772, 912 } },
    { 3, "Label6", kLabel, "Interval", "", { 180, 300, 624, 192 } },
    { 3, "TextRepeat", kText, "", "0", { 960, 240, 615, 252 }, "Repeat interval in seconds" },
    { 3, "CheckRepeat", kCheck, "&Repeat", "unchecked", { 1680, 240, 1032, 252 } },
    { 3, "Label11", kLabel, "Times", "", { 180, 600, 528, 192 } },
    { 3, "TextCount", kText, "", "", { 960, 540, 612, 252 }, "Repeat count limit" },
    { 3, "CheckWaitForResponse", kCheck, "WFR", "unchecked", { 1680, 540, 975, 195 },
        "Wait for response from the device before sending the next repeat" },

    { 0, "Frame4", "frame", "Command", "", { 0, 2340, 5772, 3072 } },
    { 4, "OptionModeFree", kOption, "&Free text", "selected", { 120, 240, 1572, 255 },
        "Write any command to the command box" },
    { 4, "OptionModeTime", kOption, "R&unning", "", { 120, 600, 1572, 252 }, "Sends running values" },
    { 4, "OptionModeFile", kOption, "F&ile", "", { 120, 960, 1512, 252 }, "Sends commands from a file" },
    { 4, "CheckHex", kCheck, "As hexadecimal", "unchecked", { 1680, 240, 1932, 252 },
        "You have written the command in hexadecimal numbers, FF FF FF or FFFFFF" },
    { 4, "ComboTime", "list combo", "", List("ss", { "ss", "hh.mm", "hh.mm.ss", "mm.ss", "NN" }),
        { 1680, 600, 1572, 288 }, "", false },
    { 4, "LabelChars", kLabel, "Disp len", "", { 1680, 996, 696, 192 }, "", false },
    { 4, "TextChars", kText, "", "6", { 2640, 960, 615, 288 }, "Device display length", false },
    { 4, "CheckPatkittain", kCheck, "No scroll", "unchecked", { 3360, 1020, 1992, 192 },
        "Show text in pieces, not scrolling", false },
    { 4, "CheckDisp", kCheck, "DISP", "unchecked", { 4680, 240, 972, 252 },
        "Add DISP in front of the command" },
    { 4, "CheckAA", kCheck, QString::fromUtf8("Ä->#A"), "unchecked", { 4680, 480, 1032, 192 },
        QString::fromUtf8("Converts Ä to #A and Ö to #O") },
    { 4, "TextOutput", kCombo, "", List("DISP HELLO", QStringList(5, "")), { 120, 1440, 5532, 396 } },
    { 4, "TextOutputhex", kDisplay, "", "", { 120, 1920, 5532, 252 }, "Command packet" },
    { 4, "CommandSend", "button", "Send", "", { 120, 2280, 5532, 615 } },

    { 0, "Frame5", "frame", "Response", "", { 0, 5460, 5772, 1032 } },
    { 5, "TextInputHex", kDisplay, "", "", { 120, 240, 5532, 252 }, "Response packet as is" },
    { 5, "TextInput", kDisplay, "", "", { 120, 540, 5532, 372 }, "Interpreted response - click to clear" },
};

// Tab visits these in turn; the address bar, too, takes the focus, so that the arrow keys step the address.
// It passes over greyed controls, and of the option buttons it stops only at the selected one: the arrow keys
// move within the group.
const char* const kTabOrder[]
    = { "ComboPort", "ComboBPS", "ComboBits", "ComboPar", "ComboStop", "ComboProt", "TextAddr", "VScrollAddr",
          "TextRepeat", "CheckRepeat", "TextCount", "CheckDTR", "CheckRTS", "CommandBreak", "OptionModeFree",
          "CheckHex", "OptionModeTime", "ComboTime", "OptionModeFile", "TextChars", "CheckPatkittain",
          "CheckDisp", "CheckAA", "TextOutput", "CommandSend", "CheckAutoRTS", "CheckWaitForResponse" };

struct EveryControl : StartedForm, ::testing::WithParamInterface<Control> {
};
using Window = StartedForm;

TEST_P(EveryControl, IsAsDesigned)
{
    const Control& c = GetParam();
    auto* w = f.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), c.frame ? QString("Frame%1").arg(c.frame) : "DurnixForm");
    EXPECT_EQ(w->geometry(), TwipsRect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()));
    EXPECT_EQ(w->isEnabled(), c.enabled);
    EXPECT_EQ(CaptionOf(w), c.caption);
    EXPECT_EQ(w->toolTip(), c.tooltip);
    EXPECT_EQ(ContentOf(w), c.content);
    EXPECT_EQ(KindOf(w), c.kind);
}

INSTANTIATE_TEST_SUITE_P(Window, EveryControl, ::testing::ValuesIn(kControls), ByName);

TEST_F(Window, StartsAtItsDesignSizeWithTheVersionInItsCaptionAndThePortOpenOnce)
{
    EXPECT_EQ(
        f.windowTitle(), QString("Durnix - V%1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR));
    EXPECT_EQ(f.size(), TwipsRect(0, 0, 5865, 6660).size());
    EXPECT_EQ(h.comm.log, QStringList({ "DTR=1", "RTS=0", "OPEN" }));
    EXPECT_EQ(QString::number(h.comm.commPort()) + ' ' + h.comm.settingsText, QString("1 4800,N,8,1"));
    EXPECT_TRUE(h.portFailures.isEmpty());
}

// Started in each send mode, Tab walks the order from its first control and Shift+Tab from its last.
struct TabOrder : testing::TestWithParam<const char*> {
};

TEST_P(TabOrder, VisitsTheEnabledControlsAndTheSelectedOptionButtonBothWays)
{
    for (const bool forward : { true, false }) {
        FormHarness h;
        h.WriteSettings(QByteArray("Mode=") + GetParam() + "\r\n");
        DurnixForm& f = h.Start();
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        QStringList order, expected, visited;
        for (const char* name : kTabOrder)
            if (order << name; f.findChild<QWidget*>(name)->isEnabled()
                && (!f.findChild<QRadioButton*>(name) || f.findChild<QRadioButton*>(name)->isChecked()))
                expected << name;
        f.findChild<QWidget*>(forward ? expected.first() : expected.last())->setFocus();
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            while (focus && !order.contains(focus->objectName()))
                focus = focus->parentWidget(); // the line edit inside an editable combo
            visited.insert(forward ? i : 0, focus ? focus->objectName() : QString("(none)"));
            QTest::keyClick(
                QApplication::focusWidget(), Qt::Key_Tab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        }
        EXPECT_EQ(visited, expected) << (forward ? "Tab" : "Shift+Tab");
    }
}

INSTANTIATE_TEST_SUITE_P(Window, TabOrder, testing::Values("Free", "Time", "File"),
    [](const auto& info) { return std::string(info.param); });

} // namespace
