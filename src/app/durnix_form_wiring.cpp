// Each handler runs exactly once, synchronously, whether the operator or code
// changes the control.
#include "app/display_label.h"
#include "app/durnix_form.h"
#include "common/interval_timer.h"
#include "serial/mscomm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QScopeGuard>
#include <QTimer>

namespace {

using Handler = void (DurnixForm::*)();

// A combo's click runs when its index changes, by code or by the operator, and
// also when the operator picks the entry that is already selected: Qt then
// emits only activated. When the operator's pick did change the index,
// activated follows at once and must not run the handler twice. The mark that
// says so is set only once the handler has returned: a message box inside the
// handler runs queued calls, and would otherwise clear the mark too early. A
// change by code has no activated after it; the queued call clears its mark.
void ConnectComboClick(DurnixForm* form, QComboBox* combo, Handler handler)
{
    auto justChanged = std::make_shared<bool>(false);
    QObject::connect(combo, &QComboBox::currentIndexChanged, form, [=] {
        (form->*handler)();
        *justChanged = true;
        QTimer::singleShot(0, form, [justChanged] { *justChanged = false; });
    });
    QObject::connect(combo, &QComboBox::activated, form, [=] {
        if (!std::exchange(*justChanged, false))
            (form->*handler)();
    });
}

// An editable combo selects the entry that matches its typed text when the
// operator presses Enter or leaves the box. In the port and protocol boxes
// typing must start nothing, and in the command box it must not restore a
// recent entry's check boxes, so only a pick from the list selects.
void SelectOnlyByPicking(QComboBox* combo)
{
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    QObject::disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
}

void ConnectCheckClick(DurnixForm* form, QCheckBox* check, Handler handler)
{
    QObject::connect(check, &QCheckBox::stateChanged, form, handler);
}

// A group of option buttons is one Tab stop, the selected button; the arrow
// keys move within the group. Qt moves the stop only to a button that takes
// the focus, so a selection by the program or the settings file would leave
// it on a button that is not selected.
void MakeTabStop(QRadioButton* selected)
{
    for (QRadioButton* option :
        selected->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
        const int tab = option == selected ? Qt::TabFocus : 0;
        option->setFocusPolicy(Qt::FocusPolicy((option->focusPolicy() & ~Qt::TabFocus) | tab));
    }
}

void ConnectOptionClick(DurnixForm* form, QRadioButton* option, Handler handler)
{
    if (option->isChecked())
        MakeTabStop(option);
    QObject::connect(option, &QRadioButton::toggled, form, [=](bool selected) {
        if (selected) {
            MakeTabStop(option);
            (form->*handler)();
        }
    });
}

} // namespace

void DurnixForm::WireConnection()
{
    for (QComboBox* box : {ComboPort, ComboBPS, ComboBits, ComboPar, ComboStop, ComboProt})
        SelectOnlyByPicking(box);
    ConnectComboClick(this, ComboPort, &DurnixForm::ComboPort_Click);
    SetUpPortMenu();
    ConnectComboClick(this, ComboBPS, &DurnixForm::ComboBPS_Click);
    // Only typing changes the speed text; picking an entry is the click.
    connect(ComboBPS->lineEdit(), &QLineEdit::textEdited, this, &DurnixForm::ComboBPS_Change);
    ConnectComboClick(this, ComboBits, &DurnixForm::ComboBits_Click);
    ConnectComboClick(this, ComboPar, &DurnixForm::ComboPar_Click);
    ConnectComboClick(this, ComboStop, &DurnixForm::ComboStop_Click);
    ConnectComboClick(this, ComboProt, &DurnixForm::ComboProt_Click);
    connect(TextAddr, &QLineEdit::textChanged, this, &DurnixForm::TextAddr_Change);
    connect(VScrollAddr, &QScrollBar::valueChanged, this, &DurnixForm::VScrollAddr_Change);
}

void DurnixForm::WireLineAndRepeat()
{
    ConnectCheckClick(this, CheckDTR, &DurnixForm::CheckDTR_Click);
    ConnectCheckClick(this, CheckRTS, &DurnixForm::CheckRTS_Click);
    ConnectCheckClick(this, CheckAutoRTS, &DurnixForm::CheckAutoRTS_Click);
    connect(CommandBreak, &QPushButton::clicked, this, &DurnixForm::CommandBreak_Click);
    connect(RTSTimer, &IntervalTimer::timeout, this, &DurnixForm::RTSTimer_Timer);
    connect(TextRepeat, &QLineEdit::textChanged, this, &DurnixForm::TextRepeat_Change);
    ConnectCheckClick(this, CheckRepeat, &DurnixForm::CheckRepeat_Click);
    connect(RepeatTimer, &IntervalTimer::timeout, this, &DurnixForm::RepeatTimer_Timer);
    connect(&MSComm1, &MSComm::onComm, this, &DurnixForm::MSComm1_OnComm);
    connect(&MSComm1, &MSComm::portLost, this, &DurnixForm::MSComm1_PortLost);
}

void DurnixForm::WireCommand()
{
    ConnectOptionClick(this, OptionModeFree, &DurnixForm::OptionModeFree_Click);
    ConnectOptionClick(this, OptionModeTime, &DurnixForm::OptionModeTime_Click);
    ConnectOptionClick(this, OptionModeFile, &DurnixForm::OptionModeFile_Click);
    ConnectComboClick(this, ComboTime, &DurnixForm::ComboTime_Click);
    SelectOnlyByPicking(TextOutput);
    connect(TextOutput, &QComboBox::editTextChanged, this, &DurnixForm::TextOutput_Change);
    // Only the operator picks from the recent list.
    connect(TextOutput, &QComboBox::activated, this, &DurnixForm::TextOutput_Click);
    // The combo hands the keys it gets to its line edit directly, past any filter there.
    TextOutput->installEventFilter(this);
    TextOutput->lineEdit()->installEventFilter(this);
    connect(CommandSend, &QPushButton::clicked, this, &DurnixForm::CommandSend_Click);
    connect(TextInput, &DisplayLabel::clicked, this, &DurnixForm::TextInput_Click);
}

// A modal box or dialog runs the event loop inside the handler that opened it.
// A repeat tick that falls due meanwhile is dropped, as if the timer were
// busy, so that no tick overlaps a click.
void DurnixForm::DropTicksInModalBoxes()
{
    const auto modal = [this](auto service) {
        return [this, service](const auto&... arguments) {
            ++modalDepth_;
            const auto closed = qScopeGuard([this] { --modalDepth_; });
            return service(arguments...);
        };
    };
    services_.showPortFailure = modal(services_.showPortFailure);
    services_.askFileName = modal(services_.askFileName);
    services_.askLogFileName = modal(services_.askLogFileName);
}

void DurnixForm::Wire()
{
    WireConnection();
    WireLineAndRepeat();
    WireCommand();
}

// Enter in the command box presses Send. The combo must not see it: it would
// pick a matching recent entry and restore that entry's check boxes.
bool DurnixForm::eventFilter(QObject* watched, QEvent* event)
{
    const bool commandBox = watched == TextOutput || watched == TextOutput->lineEdit();
    if (commandBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CommandSend->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
