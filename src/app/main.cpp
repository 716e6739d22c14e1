#include "app/durnix_form.h"
#include "app/form_services.h"
#include "app/settings/settings_reader.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "serial/qt_serial_comm.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

// The settings file lies in the working directory at start-up; its folder is
// remembered so that nothing during the run can move where it is written.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString settingsFolder = QDir::currentPath();
    const PortMap portMap = PortMap::FromSettingsBytes(ReadSettingsFile(settingsFolder).value_or(QByteArray()));
    QtSerialComm serial(portMap);
    NetworkComm network(portMap);
    RoutingComm comm(serial, network, portMap);
    DurnixForm form(comm, DesktopServices(settingsFolder, portMap));
    if (!form.PlacedBySettings())
        form.move(app.primaryScreen()->availableGeometry().center() - form.rect().center());
    form.show();
    return app.exec();
}
