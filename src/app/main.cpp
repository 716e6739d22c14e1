#include "app/durnix_form.h"
#include "app/form_services.h"
#include "app/launch.h"
#include "app/settings/settings_reader.h"
#include "network/network_comm.h"
#include "network/routing_comm.h"
#include "serial/qt_serial_comm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>
#include <cstdio>

namespace {

QStringList ArgumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

// The settings file lies in the working directory at start-up (in the user's
// configuration folder when the desktop menu starts Durnix); its folder is
// remembered so that nothing during the run can move where it is written.
// A log file given on the command line is taken from that folder as well.
int main(int argc, char** argv)
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (const auto stop = EarlyStop(ArgumentList(argc, argv), environment)) {
        std::fputs(stop->text.toLocal8Bit().constData(), stop->exitCode == 0 ? stdout : stderr);
        return stop->exitCode;
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    AddLaunchOptions(parser);
    parser.process(app);
    const QString settingsFolder = SettingsFolder(parser.isSet("desktop"), environment, QDir::currentPath());
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
