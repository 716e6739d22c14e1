#include "network_window.h"

#include "app/form_services.h"
#include "live_window.h"

NetworkWindow::NetworkWindow(const QString& url, const QString& settingsFolder)
    : map(Com1Map(url, settingsFolder))
{
    FormServices services = DesktopServices(settingsFolder, map);
    services.showPortFailure = [this](const QString& detail) { portFailures << detail; };
    services.beep = [this] { ++beeps; };
    services.askFileName = [](const QString&, const QString&) { return QString(); };
    form_ = std::make_unique<DurnixForm>(comm, services);
}
