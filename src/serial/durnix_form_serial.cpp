// The serial line of the window: opening the port, line signals and break.
#include "app/durnix_form.h"
#include "app/vb_controls.h"
#include "common/interval_timer.h"
#include "common/lenient_number.h"
#include "serial/mscomm.h"
#include "serial/port_settings_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

namespace
{

// The box names the device once, although the port's reason usually begins with it.
QString PortLostMessage(int port, const QString& device, QString reason)
{
    const QString named = device + QStringLiteral(": ");
    if (reason.startsWith(named))
        reason.remove(0, named.size());
    return QStringLiteral("COM%1 (%2) was lost: %3\n\nPick COM%1 again to reopen it.")
        .arg(port)
        .arg(device, reason);
}

// Automatic RTS says who drives the line: the driver while bits are on it, or the window's timer.
void ShowRtsWay(QCheckBox* autoRts, const MSComm& comm)
{
    autoRts->setToolTip(!IsSet(autoRts) ? QString()
            : comm.rtsByDriver()        ? QStringLiteral("RTS by the driver")
                                        : QStringLiteral("RTS by a timer"));
}

// The entry of the port names its device and, once open, what the port adds (the USB latency timer).
void ShowPortNotes(QComboBox* ports, int port, const QString& device, const QString& notes)
{
    ports->setItemData(port - 1, device + notes, Qt::ToolTipRole);
}

} // namespace

void DurnixForm::ConfigurePort()
{
    const bool opened = ConfigurePortSteps();
    LogPortOutcome(opened);
    const int port = MSComm1.commPort();
    ShowPortNotes(
        ComboPort, port, services_.portMap->DevicePath(port), opened ? MSComm1.portNotes() : QString());
    ShowRtsWay(CheckAutoRTS, MSComm1);
    if (!opened)
        ReportPortFailure();
}

bool DurnixForm::ConfigurePortSteps()
{
    if (MSComm1.portOpen() && !MSComm1.setPortOpen(false))
        return false;
    const int position = ListIndex(ComboPort);
    if (!MSComm1.setCommPort(position < 0 ? 1 : position + 1))
        return false;
    MSComm1.setHandshaking(0);
    MSComm1.setDTREnable(IsSet(CheckDTR));
    MSComm1.setRTSEnable(IsSet(CheckRTS));
    const QString settings = PortSettingsText(
        ComboBPS->currentText(), ListIndex(ComboPar), ListIndex(ComboBits), ListIndex(ComboStop));
    if (!MSComm1.setSettings(settings))
        return false;
    MSComm1.setRThreshold(1);
    if (!MSComm1.setPortOpen(true))
        return false;
    LineErrors = 0;
    ShowLineErrors();
    ShowModemLines();
    return true;
}

void DurnixForm::ReportPortFailure()
{
    services_.showPortFailure(MSComm1.errorText());
    SetVbValue(CheckRepeat, 0);
}

// A device that vanishes ends repetition, which would otherwise only beep at
// every tick; picking the port again reopens it. The beep may go unheard, so a
// box says what was lost and why.
void DurnixForm::MSComm1_PortLost()
{
    LogPortLost();
    SetVbValue(CheckRepeat, 0);
    ShowModemLines();
    services_.beep();
    const int port = MSComm1.commPort();
    services_.showPortLost(
        this, PortLostMessage(port, services_.portMap->DevicePath(port), MSComm1.errorText()));
}

void DurnixForm::ComboPort_Click()
{
    if (!Loading)
        ConfigurePort();
}

void DurnixForm::ComboBPS_Click()
{
    if (!Loading)
        ConfigurePort();
}

void DurnixForm::ComboBPS_Change()
{
    ComboBPS_Click();
}
void DurnixForm::ComboBits_Click()
{
    ComboPort_Click();
}
void DurnixForm::ComboPar_Click()
{
    ComboPort_Click();
}
void DurnixForm::ComboStop_Click()
{
    ComboPort_Click();
}

void DurnixForm::CheckDTR_Click()
{
    if (!Loading)
        MSComm1.setDTREnable(IsSet(CheckDTR));
}

void DurnixForm::CheckRTS_Click()
{
    if (!Loading)
        MSComm1.setRTSEnable(IsSet(CheckRTS));
}

// The driver takes automatic RTS where it can; else the send path drives RTS by the RTS timer.
void DurnixForm::CheckAutoRTS_Click()
{
    if (IsSet(CheckAutoRTS)) {
        SetVbValue(CheckRTS, 0);
        CheckRTS->setEnabled(false);
    } else {
        CheckRTS->setEnabled(true);
    }
    MSComm1.setAutoRts(IsSet(CheckAutoRTS));
    ShowRtsWay(CheckAutoRTS, MSComm1);
}

void DurnixForm::RTSTimer_Timer()
{
    MSComm1.setRTSEnable(false);
    RTSTimer->setInterval(0);
}

// A break on a closed port, or one the port refuses, changes nothing but
// the caption's brief "&Break!".
void DurnixForm::CommandBreak_Click()
{
    if (IsSet(CheckAutoRTS))
        MSComm1.setRTSEnable(true);
    CommandBreak->setText("&Break!");
    if (MSComm1.setBreak(true)) {
        HoldBreak();
        MSComm1.setBreak(false);
    }
    CommandBreak->setText("&Break");
    if (IsSet(CheckAutoRTS))
        MSComm1.setRTSEnable(false);
}

// Waits until 1.5 s or more have passed (whole seconds rounded half-to-even
// exceed 1) while the window goes on handling its events: answers, timer ticks
// and clicks, a second break among them. A short timer wakes the wait so that
// it costs nearly nothing; the clock is monotonic, so midnight does not matter.
void DurnixForm::HoldBreak()
{
    const qint64 start = services_.monotonicMs();
    QTimer wake;
    wake.start(10);
    while (RoundHalfEven(double(services_.monotonicMs() - start) / 1000.0) <= 1)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
