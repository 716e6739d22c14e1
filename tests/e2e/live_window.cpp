#include "live_window.h"

#include "app/form_services.h"

#include <QDir>

PortMap Com1Map(const QString& com1Path, const QString& folder)
{
    PortMap map;
    map.SetPath(1, com1Path);
    for (int port = 2; port <= 16; ++port)
        map.SetPath(port, QDir(folder).filePath(QStringLiteral("absent-COM%1").arg(port)));
    return map;
}

LiveWindow::LiveWindow(const PortMap& portMap, const QString& settingsFolder)
    : portMap(portMap)
    , comm(this->portMap)
{
    FormServices services = DesktopServices(settingsFolder, this->portMap);
    services.showPortFailure = [this](const QString& detail) { portFailures << detail; };
    services.beep = [this] { ++beeps; };
    services.showPortLost = [this](QWidget*, const QString& message) { portLosses << message; };
    services.askFileName = [](const QString&, const QString&) { return QString(); };
    form_ = std::make_unique<DurnixForm>(comm, services);
}
