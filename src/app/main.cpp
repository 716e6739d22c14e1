#include "app/durnix_form.h"
#include "app/form_services.h"
#include "app/settings/settings_reader.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "serial/qt_serial_comm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>

namespace {

QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

// The settings file lies in the working directory at start-up; its folder is
// remembered so that nothing during the run can move where it is written.
// A log file given on the command line is taken from that folder as well.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "log", "Record the line's traffic in <file>, appending to it.", "file" });
    parser.process(app);
    const QString settingsFolder = QDir::currentPath();
    PortMap portMap = PortMap::FromSettingsBytes(ReadSettingsFile(settingsFolder).value_or(QByteArray()));
    QtSerialComm serial(portMap);
    NetworkComm network(portMap);
    RoutingComm comm(serial, network, portMap);
    FormServices services = DesktopServices(settingsFolder, portMap);
    if (parser.isSet("log"))
        services.logFile = QDir(settingsFolder).absoluteFilePath(parser.value("log"));
    DurnixForm form(comm, services);
    if (form.PlacedBySettings())
        form.KeepOnScreens(AvailableScreenAreas());
    else
        form.move(app.primaryScreen()->availableGeometry().center() - form.rect().center());
    form.show();
    return app.exec();
}
