// The response path of the window: answers and the line status lamps.
#include "app/display_label.h"
#include "app/durnix_form.h"
#include "app/lamp.h"
#include "app/vb_controls.h"
#include "exchange/exchange.h"
#include "serial/mscomm.h"

#include <QComboBox>

namespace {
const QColor kOff(0, 0, 0);
const QColor kActive(0, 255, 0);
const QColor kError(255, 0, 0);
} // namespace

void DurnixForm::MSComm1_OnComm()
{
    LogLineEvent();
    switch (MSComm1.commEvent()) {
    case MSComm::comEvReceive:
        ReceiveBytes();
        break;
    case MSComm::comEventFrame:
        LineErrors |= 1;
        ShowLineErrors();
        break;
    case MSComm::comEventRxParity:
        LineErrors |= 2;
        ShowLineErrors();
        break;
    case MSComm::comEvCTS:
    case MSComm::comEvDSR:
    case MSComm::comEvCD:
        ShowModemLines();
        break;
    case MSComm::comEvRing:
        ShapeRI->setFillColor(kActive);
        break;
    default:
        break;
    }
}

// The protocol is read at each event: the answer is recognised by the entry
// selected when it arrives.
void DurnixForm::ReceiveBytes()
{
    const bool startsAnswer = ResponseState == 0;
    if (startsAnswer) {
        ResponseState = 1;
        TextInput->setText(QString());
        TextInputHex->setText(QString());
    }
    if (exchange_.Receive(startsAnswer, ListIndex(ComboProt)).completes)
        ResponseState = 2;
    TextInputHex->setText(receiver_.hexDisplay());
    TextInput->setText(receiver_.answerDisplay());
}

void DurnixForm::TextInput_Click()
{
    TextInput->setText(QString());
    LineErrors = 0;
    ShowLineErrors();
}

void DurnixForm::ShowLineErrors()
{
    if (LineErrors == ShownLineErrors)
        return;
    ShapeFraming->setFillColor(LineErrors & 1 ? kError : kOff);
    ShapeParity->setFillColor(LineErrors & 2 ? kError : kOff);
    ShownLineErrors = LineErrors;
}

void DurnixForm::ShowModemLines()
{
    ShapeDSR->setFillColor(MSComm1.dsrHolding() ? kActive : kOff);
    ShapeDCD->setFillColor(MSComm1.cdHolding() ? kActive : kOff);
    ShapeCTS->setFillColor(MSComm1.ctsHolding() ? kActive : kOff);
    ShapeRI->setFillColor(kOff);
}
