// The displays' right-click menu and the traffic log's hooks in the window.
#include "app/display_label.h"
#include "app/durnix_form.h"
#include "app/vb_controls.h"
#include "log/log_events.h"
#include "serial/mscomm.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

void DurnixForm::CreateDisplayMenu()
{
    DisplayMenu = new QMenu(this);
    DisplayMenu->setObjectName("DisplayMenu");
    DisplayMenu->setToolTipsVisible(true);
    MenuCopy = DisplayMenu->addAction("Copy", this, &DurnixForm::MenuCopy_Click);
    DisplayMenu->addSeparator();
    MenuStartLog
        = DisplayMenu->addAction(QString::fromUtf8("Start log\u2026"), this, &DurnixForm::MenuStartLog_Click);
    MenuStartLog->setCheckable(true);
    MenuStopLog = DisplayMenu->addAction("Stop log", this, &DurnixForm::StopLog);
    DisplayMenu->addSeparator();
    DisplayMenu->addAction(MenuPorts);
    connect(DisplayMenu, &QMenu::aboutToShow, this, &DurnixForm::ShowLogState);
}

void DurnixForm::SetUpLog()
{
    CreateDisplayMenu();
    for (DisplayLabel* display : { TextOutputhex, TextInputHex, TextInput }) {
        display->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(display, &QWidget::customContextMenuRequested, this,
            [this, display](const QPoint& position) { ShowDisplayMenu(display, position); });
    }
    connect(&MSComm1, &MSComm::notice, this,
        [this](const QString& text) { trafficLog_.Port(PortNoticeText(MSComm1.commPort(), text)); });
    connect(&trafficLog_, &TrafficLog::failed, this, [this](const QString& message) {
        ShowLogState();
        services_.showLogFailure(this, message);
    });
    if (!services_.logFile.isEmpty())
        StartLog(services_.logFile);
    ShowLogState();
}

void DurnixForm::ShowDisplayMenu(DisplayLabel* display, const QPoint& position)
{
    menuDisplay_ = display;
    DisplayMenu->popup(display->mapToGlobal(position));
}

// As shown: the hexadecimal text with its spaces, the answer with its line breaks.
void DurnixForm::MenuCopy_Click()
{
    if (menuDisplay_)
        QGuiApplication::clipboard()->setText(menuDisplay_->text());
}

void DurnixForm::MenuStartLog_Click()
{
    const QString folder
        = trafficLog_.IsRunning() ? QFileInfo(trafficLog_.Path()).path() : services_.settingsFolder;
    const QString path = services_.askLogFileName(folder);
    if (!path.isEmpty())
        StartLog(path);
    ShowLogState();
}

bool DurnixForm::StartLog(const QString& path)
{
    const std::optional<QString> failure = trafficLog_.Start(path, IsSet(CheckRepeat));
    ShowLogState();
    if (failure) {
        services_.showLogFailure(this, *failure);
        return false;
    }
    // The file says from its start what the line is.
    if (MSComm1.portOpen())
        LogPortOutcome(true);
    return true;
}

void DurnixForm::StopLog()
{
    trafficLog_.Stop();
    ShowLogState();
}

void DurnixForm::ShowLogState()
{
    const bool running = trafficLog_.IsRunning();
    const QString where = running ? "Logging to " + trafficLog_.Path() : QStringLiteral("No log is running");
    MenuStartLog->setChecked(running);
    MenuStartLog->setToolTip(where);
    MenuStopLog->setEnabled(running);
    MenuStopLog->setToolTip(where);
}

void DurnixForm::LogLineEvent()
{
    const int code = MSComm1.commEvent();
    if (code != MSComm::comEvReceive)
        trafficLog_.Line(
            LineEventText(code, { MSComm1.ctsHolding(), MSComm1.dsrHolding(), MSComm1.cdHolding() }));
}

void DurnixForm::LogPortOutcome(bool opened)
{
    const int port = MSComm1.commPort();
    trafficLog_.Port(opened ? PortOpenedText(port, services_.portMap->DevicePath(port),
                         MSComm1.settingsReport() + MSComm1.portNotes())
                            : PortFailedText(port, MSComm1.errorText()));
}

void DurnixForm::LogPortLost()
{
    trafficLog_.Port(PortLostText(MSComm1.commPort(), MSComm1.errorText()));
}
