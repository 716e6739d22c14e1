// The command path of the window: send, repeat and the device address.
#include "app/display_label.h"
#include "app/durnix_form.h"
#include "app/vb_controls.h"
#include "command/command_text.h"
#include "command/device_address.h"
#include "command/framing.h"
#include "command/repeat_cycle.h"
#include "common/bytes.h"
#include "common/interval_timer.h"
#include "common/lenient_number.h"
#include "exchange/exchange.h"
#include "serial/mscomm.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

void DurnixForm::CommandSend_Click()
{
    if (OptionModeFree->isChecked()) {
        ModeFreeDisp = VbValue(CheckDisp);
        RememberSentCommand();
    } else if (OptionModeTime->isChecked()) {
        ModeTimeDisp = VbValue(CheckDisp);
    } else if (OptionModeFile->isChecked()) {
        ModeFileDisp = VbValue(CheckDisp);
    }
    SetVbValue(CheckRepeat, 0);
    RunningNumber = 0;
    NextCommandText();
    // A command whose escapes cannot be made into bytes is not sent at all.
    if (!SendCommand())
        services_.beep();
}

void DurnixForm::RememberSentCommand()
{
    const QString command = TextOutput->currentText();
    if (!Recent.Remember(command, VbValue(CheckDisp), VbValue(CheckHex)))
        return;
    const QSignalBlocker blocker(TextOutput);
    for (int i = 0; i < int(Recent.texts.size()); ++i)
        TextOutput->setItemText(i, Recent.texts[i]);
    TextOutput->setCurrentIndex(-1);
    TextOutput->setEditText(command);
}

bool DurnixForm::SendCommand()
{
    const DecodeOptions options {OptionModeFree->isChecked(), IsSet(CheckHex), IsSet(CheckAA), IsSet(CheckDisp)};
    const auto packet
        = CommandPacket(TextOutput->currentText(), options, ListIndex(ComboProt), AddressNumber(TextAddr->text()));
    if (!packet)
        return false;
    TransmitPacket(*packet);
    return true;
}

namespace
{

// The line format as the port boxes give it, read once for the packet's time on the line and for
// automatic RTS.
LineFormat BoxFormat(const DurnixForm& form)
{
    return { LenientNumber(form.ComboBits->currentText()), LenientNumber(form.ComboStop->currentText()),
        LenientNumber(form.ComboBPS->currentText()), ListIndex(form.ComboPar) };
}

} // namespace

void DurnixForm::TransmitPacket(const QByteArray& packet)
{
    LineErrors = 0;
    ShowLineErrors();
    TextOutputhex->setText(HexText(packet));
    receiver_.ClearHexDisplay();
    TextInputHex->setText(QString());
    if (ResponseState == 0)
        TextInput->setText(QString());
    if (!MSComm1.portOpen()) {
        services_.beep();
        return;
    }
    WritePacket(packet);
    if (RepeatTimer->interval() == 0)
        TextInput->setText(QString());
}

// A send the port does not take beeps as on a closed port; a port lost in the write has beeped with
// the loss. Automatic RTS is lowered by the RTS timer unless the driver switches it itself.
void DurnixForm::WritePacket(const QByteArray& packet)
{
    ResponseState = 0;
    const Exchange::Written written
        = exchange_.Write(packet, TextOutput->currentText(), BoxFormat(*this), IsSet(CheckAutoRTS));
    if (!written.taken && MSComm1.portOpen())
        services_.beep();
    if (written.rtsMs > 0)
        RTSTimer->setInterval(written.rtsMs);
}

void DurnixForm::TextRepeat_Change() { RepeatTimer->setInterval(RepeatIntervalMs(TextRepeat->text())); }

void DurnixForm::CheckRepeat_Click()
{
    RepeatTimer->setEnabled(IsSet(CheckRepeat));
    trafficLog_.RepeatSwitched(IsSet(CheckRepeat));
    if (IsSet(CheckRepeat))
        ResponseState = 2;
}

void DurnixForm::RepeatTimer_Timer()
{
    if (modalDepth_ > 0)
        return;
    QPalette tick = CheckRepeat->palette();
    const QPalette standard = tick;
    tick.setColor(QPalette::WindowText, QColor(255, 0, 0));
    tick.setColor(QPalette::ButtonText, QColor(255, 0, 0));
    CheckRepeat->setPalette(tick);
    if (ResponseState == 2 || !IsSet(CheckWaitForResponse)) {
        NextCommandText();
        if (SendCommand())
            CountDownRepeat();
    }
    CheckRepeat->setPalette(standard);
}

void DurnixForm::CountDownRepeat()
{
    const RepeatCountStep next = NextRepeatCount(TextCount->text());
    if (next.kind == RepeatCountStep::LastSend) {
        SetVbValue(CheckRepeat, 0);
        TextCount->clear();
    } else if (next.kind == RepeatCountStep::CountDown) {
        TextCount->setText(next.remaining);
    }
}

// A typed address outside 0-255 holds the bar at its end and leaves the text as
// typed; only an address the bar can show rewrites the box.
void DurnixForm::TextAddr_Change()
{
    const double position = RoundHalfEven(VScrollAddr->maximum() - LenientNumber(TextAddr->text()));
    if (position >= VScrollAddr->minimum() && position <= VScrollAddr->maximum()) {
        VScrollAddr->setValue(int(position));
        return;
    }
    const QSignalBlocker blocker(VScrollAddr);
    VScrollAddr->setValue(position < VScrollAddr->minimum() ? VScrollAddr->minimum() : VScrollAddr->maximum());
}

void DurnixForm::VScrollAddr_Change()
{
    TextAddr->setText(QString::number(VScrollAddr->maximum() - VScrollAddr->value()));
}

void DurnixForm::ComboProt_Click()
{
    const int position = ListIndex(ComboProt);
    TextAddr->setEnabled(position != AsciiCrlf && position != AsIs);
}
