// The window's controls: kind, caption, tooltip, initial content and place.
#include "app/display_label.h"
#include "app/durnix_form.h"
#include "app/lamp.h"
#include "app/twips.h"
#include "app/vb_check_box.h"
#include "common/interval_timer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

template <typename Control>
Control* Make(QWidget* parent, const char* name, QRect twips, const QString& caption = {})
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(twips);
    if constexpr (std::is_base_of_v<QAbstractButton, Control> || std::is_base_of_v<QLabel, Control>
        || std::is_base_of_v<QLineEdit, Control>)
        control->setText(caption);
    else if constexpr (std::is_base_of_v<QGroupBox, Control>)
        control->setTitle(caption);
    return control;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, QRect twips, bool editable = true)
{
    auto* combo = Make<QComboBox>(parent, name, twips);
    combo->setEditable(editable);
    if (editable) {
        // Typing 19200 must give 1, 19, 192, 1920, 19200 and never complete or insert.
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    return combo;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, QRect twips, const QString& caption)
{
    return Make<VbCheckBox>(parent, name, twips, caption);
}

} // namespace

// The icons live in a static library, whose resources must be registered by hand.
static void RegisterIcons() { Q_INIT_RESOURCE(durnix); }

void DurnixForm::CreateConnectionFrame()
{
    Frame1 = Make<QGroupBox>(this, "Frame1", TwipsRect(0, 0, 2952, 2268), "Connection");
    Label1 = Make<QLabel>(Frame1, "Label1", TwipsRect(120, 300, 348, 192), "Port");
    ComboPort = MakeCombo(Frame1, "ComboPort", TwipsRect(1080, 240, 1212, 288));
    Label2 = Make<QLabel>(Frame1, "Label2", TwipsRect(120, 600, 444, 192), "Baud");
    ComboBPS = MakeCombo(Frame1, "ComboBPS", TwipsRect(1080, 540, 1212, 288));
    Label8 = Make<QLabel>(Frame1, "Label8", TwipsRect(120, 900, 492, 192), "Parity");
    ComboBits = MakeCombo(Frame1, "ComboBits", TwipsRect(1080, 840, 552, 288));
    ComboPar = MakeCombo(Frame1, "ComboPar", TwipsRect(1620, 840, 672, 288));
    ComboStop = MakeCombo(Frame1, "ComboStop", TwipsRect(2280, 840, 552, 288));
    Label5 = Make<QLabel>(Frame1, "Label5", TwipsRect(120, 1200, 708, 192), "Protocol");
    ComboProt = MakeCombo(Frame1, "ComboProt", TwipsRect(1080, 1140, 1752, 288));
    Label4 = Make<QLabel>(Frame1, "Label4", TwipsRect(120, 1500, 708, 192), "Address");
    TextAddr = Make<QLineEdit>(Frame1, "TextAddr", TwipsRect(1080, 1440, 792, 312), "0");
    VScrollAddr = Make<QScrollBar>(Frame1, "VScrollAddr", TwipsRect(1860, 1440, 192, 312));
    VScrollAddr->setOrientation(Qt::Vertical);
    VScrollAddr->setRange(0, 255);
    VScrollAddr->setSingleStep(1);
    VScrollAddr->setValue(255); // in step with the designed address 0
    VScrollAddr->setFocusPolicy(Qt::StrongFocus); // in the Tab order; its arrow keys step the address
}

void DurnixForm::CreateLineFrame()
{
    Frame2 = Make<QGroupBox>(this, "Frame2", TwipsRect(3000, 960, 2772, 1332), "Line");
    CheckDTR = MakeCheck(Frame2, "CheckDTR", TwipsRect(120, 300, 852, 192), "DTR");
    CheckDTR->setCheckState(Qt::Checked);
    CheckRTS = MakeCheck(Frame2, "CheckRTS", TwipsRect(120, 540, 852, 192), "RTS");
    CheckAutoRTS = MakeCheck(Frame2, "CheckAutoRTS", TwipsRect(120, 780, 1152, 192), "AutoRTS");
    CommandBreak = Make<QPushButton>(Frame2, "CommandBreak", TwipsRect(120, 1020, 1080, 252), "&Break");
    ShapeFraming = Make<Lamp>(Frame2, "ShapeFraming", TwipsRect(1080, 156, 192, 192));
    Label9 = Make<QLabel>(Frame2, "Label9", TwipsRect(1380, 156, 1392, 192), "Framing error");
    ShapeParity = Make<Lamp>(Frame2, "ShapeParity", TwipsRect(1080, 396, 192, 192));
    Label10 = Make<QLabel>(Frame2, "Label10", TwipsRect(1380, 387, 1392, 192), "Parity error");
    ShapeDSR = Make<Lamp>(Frame2, "ShapeDSR", TwipsRect(1440, 648, 192, 192));
    Label3 = Make<QLabel>(Frame2, "Label3", TwipsRect(1740, 630, 435, 195), "DSR");
    ShapeRI = Make<Lamp>(Frame2, "ShapeRI", TwipsRect(2460, 660, 195, 195));
    Label12 = Make<QLabel>(Frame2, "Label12", TwipsRect(2220, 900, 435, 195), "RI");
    ShapeDCD = Make<Lamp>(Frame2, "ShapeDCD", TwipsRect(1440, 864, 192, 192));
    Label7 = Make<QLabel>(Frame2, "Label7", TwipsRect(1740, 852, 1392, 192), "DCD");
    ShapeCTS = Make<Lamp>(Frame2, "ShapeCTS", TwipsRect(1440, 1080, 192, 192));
    CTS = Make<QLabel>(Frame2, "CTS", TwipsRect(1740, 1080, 1392, 192), "CTS");
}

void DurnixForm::CreateRepeatFrame()
{
    Frame3 = Make<QGroupBox>(this, "Frame3", TwipsRect(3000, 0, 2772, 912), "Repeat");
    Label6 = Make<QLabel>(Frame3, "Label6", TwipsRect(180, 300, 624, 192), "Interval");
    TextRepeat = Make<QLineEdit>(Frame3, "TextRepeat", TwipsRect(960, 240, 615, 252));
    TextRepeat->setToolTip("Repeat interval in seconds");
    CheckRepeat = MakeCheck(Frame3, "CheckRepeat", TwipsRect(1680, 240, 1032, 252), "&Repeat");
    Label11 = Make<QLabel>(Frame3, "Label11", TwipsRect(180, 600, 528, 192), "Times");
    TextCount = Make<QLineEdit>(Frame3, "TextCount", TwipsRect(960, 540, 612, 252));
    TextCount->setToolTip("Repeat count limit");
    CheckWaitForResponse = MakeCheck(Frame3, "CheckWaitForResponse", TwipsRect(1680, 540, 975, 195), "WFR");
    CheckWaitForResponse->setToolTip("Wait for response from the device before sending the next repeat");
}

void DurnixForm::CreateCommandFrame()
{
    Frame4 = Make<QGroupBox>(this, "Frame4", TwipsRect(0, 2340, 5772, 3072), "Command");
    OptionModeFree = Make<QRadioButton>(Frame4, "OptionModeFree", TwipsRect(120, 240, 1572, 255), "&Free text");
    OptionModeFree->setToolTip("Write any command to the command box");
    OptionModeFree->setChecked(true);
    OptionModeTime = Make<QRadioButton>(Frame4, "OptionModeTime", TwipsRect(120, 600, 1572, 252), "R&unning");
    OptionModeTime->setToolTip("Sends running values");
    OptionModeFile = Make<QRadioButton>(Frame4, "OptionModeFile", TwipsRect(120, 960, 1512, 252), "F&ile");
    OptionModeFile->setToolTip("Sends commands from a file");
    CheckHex = MakeCheck(Frame4, "CheckHex", TwipsRect(1680, 240, 1932, 252), "As hexadecimal");
    CheckHex->setToolTip("You have written the command in hexadecimal numbers, FF FF FF or FFFFFF");
    ComboTime = MakeCombo(Frame4, "ComboTime", TwipsRect(1680, 600, 1572, 288), false);
    LabelChars = Make<QLabel>(Frame4, "LabelChars", TwipsRect(1680, 996, 696, 192), "Disp len");
    TextChars = Make<QLineEdit>(Frame4, "TextChars", TwipsRect(2640, 960, 615, 288), "6");
    TextChars->setToolTip("Device display length");
    CheckPatkittain = MakeCheck(Frame4, "CheckPatkittain", TwipsRect(3360, 1020, 1992, 192), "No scroll");
    CheckPatkittain->setToolTip("Show text in pieces, not scrolling");
    CheckDisp = MakeCheck(Frame4, "CheckDisp", TwipsRect(4680, 240, 972, 252), "DISP");
    CheckDisp->setToolTip("Add DISP in front of the command");
    CheckAA = MakeCheck(Frame4, "CheckAA", TwipsRect(4680, 480, 1032, 192), QString::fromUtf8("Ä->#A"));
    CheckAA->setToolTip(QString::fromUtf8("Converts Ä to #A and Ö to #O"));
    TextOutput = MakeCombo(Frame4, "TextOutput", TwipsRect(120, 1440, 5532, 396));
    TextOutput->setEditText("DISP HELLO");
    TextOutputhex = Make<DisplayLabel>(Frame4, "TextOutputhex", TwipsRect(120, 1920, 5532, 252));
    TextOutputhex->setToolTip("Command packet");
    CommandSend = Make<QPushButton>(Frame4, "CommandSend", TwipsRect(120, 2280, 5532, 615), "Send");
    CommandSend->setIcon(QIcon(":/durnix/send.png"));
    CommandSend->setIconSize(QSize(24, 24));
}

void DurnixForm::CreateResponseFrame()
{
    Frame5 = Make<QGroupBox>(this, "Frame5", TwipsRect(0, 5460, 5772, 1032), "Response");
    TextInputHex = Make<DisplayLabel>(Frame5, "TextInputHex", TwipsRect(120, 240, 5532, 252));
    TextInputHex->setToolTip("Response packet as is");
    TextInput = Make<DisplayLabel>(Frame5, "TextInput", TwipsRect(120, 540, 5532, 372));
    TextInput->setToolTip("Interpreted response - click to clear");
}

void DurnixForm::ApplyFonts()
{
    // The nearest installed families keep the narrow captions of the design.
    QFont window({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "Nimbus Sans", "Arial",
        "Helvetica", "DejaVu Sans Condensed", "DejaVu Sans"});
    window.setPointSizeF(8.25);
    window.setBold(true);
    setFont(window);
    QFont large = window;
    large.setPointSizeF(12);
    TextOutput->setFont(large);
    TextInput->setFont(large);
    TextInput->setColors(QColor(0, 255, 0), Qt::black);
    QFont terminal({"Terminal", "Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono", "Monospace"});
    terminal.setStyleHint(QFont::TypeWriter);
    terminal.setFixedPitch(true);
    terminal.setPointSizeF(6);
    terminal.setBold(true);
    for (DisplayLabel* hex : {TextOutputhex, TextInputHex}) {
        hex->setFont(terminal);
        hex->setColors(QColor(192, 64, 0), QColor(192, 192, 192));
    }
}

void DurnixForm::SetTabOrder()
{
    const QList<QWidget*> order = {ComboPort, ComboBPS, ComboBits, ComboPar, ComboStop, ComboProt, TextAddr,
        VScrollAddr, TextRepeat, CheckRepeat, TextCount, CheckDTR, CheckRTS, CommandBreak, OptionModeFree, CheckHex,
        OptionModeTime, ComboTime, OptionModeFile, TextChars, CheckPatkittain, CheckDisp, CheckAA, TextOutput,
        CommandSend, CheckAutoRTS, CheckWaitForResponse};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

DurnixForm::DurnixForm(MSComm& comm, FormServices services, QWidget* parent)
    : QWidget(parent)
    , MSComm1(comm)
    , services_(std::move(services))
{
    RegisterIcons();
    setObjectName("DurnixForm");
    setWindowTitle("Durnix");
    setWindowIcon(QIcon(":/durnix/durnix.png"));
    resize(TwipsToPixels(5865), TwipsToPixels(6660));
    CreateConnectionFrame();
    CreateLineFrame();
    CreateRepeatFrame();
    CreateCommandFrame();
    CreateResponseFrame();
    RepeatTimer = new IntervalTimer(this);
    RTSTimer = new IntervalTimer(this, Qt::PreciseTimer);
    RTSTimer->setEnabled(true);
    ApplyFonts();
    SetTabOrder();
    DropTicksInModalBoxes();
    Wire();
    SetUpLog();
    SetUpTraffic();
    Form_Load();
}

DurnixForm::~DurnixForm() = default;
