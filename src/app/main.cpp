#include "app/durnix_form.h"
#include "app/form_services.h"
#include "app/settings/settings_reader.h"
#include "app/settings/window_placement.h"
#include "serial/qt_serial_comm.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

namespace {

// A window placed by the settings file whose screen is gone comes back onto one that is there.
void KeepOnScreen(QWidget& window)
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const QRect placed = PlaceOnScreens(window.frameGeometry(), areas);
    if (placed.topLeft() != window.frameGeometry().topLeft())
        window.move(placed.topLeft());
    if (placed.size() != window.frameGeometry().size())
        window.resize(placed.size());
}

} // namespace

// The settings file lies in the working directory at start-up; its folder is
// remembered so that nothing during the run can move where it is written.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString settingsFolder = QDir::currentPath();
    const PortMap portMap = PortMap::FromSettingsBytes(ReadSettingsFile(settingsFolder).value_or(QByteArray()));
    QtSerialComm comm(portMap);
    DurnixForm form(comm, DesktopServices(settingsFolder, portMap));
    if (form.PlacedBySettings())
        KeepOnScreen(form);
    else
        form.move(app.primaryScreen()->availableGeometry().center() - form.rect().center());
    form.show();
    return app.exec();
}
