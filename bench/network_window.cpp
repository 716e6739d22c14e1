#include "network_window.h"

#include "app/form_services.h"
#include "app/vb_controls.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

namespace
{

PortMap MapWithCom1(const QString& url, const QString& folder)
{
    PortMap map;
    map.SetPath(1, url);
    for (int port = 2; port <= 16; ++port)
        map.SetPath(port, QDir(folder).filePath(QStringLiteral("absent-COM%1").arg(port)));
    return map;
}

} // namespace

NetworkWindow::NetworkWindow(const QString& url, const QString& settingsFolder)
    : map(MapWithCom1(url, settingsFolder))
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
