#include "network_window.h"

#include "app/form_services.h"
#include "app/vb_controls.h"
#include "live_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

NetworkWindow::NetworkWindow(const QString& url, const QString& settingsFolder)
    : map(Com1Map(url, settingsFolder))
{
    FormServices services = DesktopServices(settingsFolder, map);
    services.showPortFailure = [this](const QString& detail) { portFailures << detail; };
    services.beep = [this] { ++beeps; };
    services.askFileName = [](const QString&, const QString&) { return QString(); };
    form_ = std::make_unique<DurnixForm>(comm, services);
}

void NetworkWindow::Prepare(int protocol, const QString& command)
{
    DurnixForm& f = *form_;
    f.OptionModeFree->setChecked(true);
    f.ComboProt->setCurrentIndex(protocol);
    f.TextAddr->setText("0");
    SetVbValue(f.CheckHex, 0);
    SetVbValue(f.CheckDisp, 0);
    f.TextOutput->setEditText(command);
}
