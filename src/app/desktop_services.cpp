#include "app/form_services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QSerialPortInfo>

namespace {

// "Description (*.*)|*.*|..." as Qt's "Description (*);;...". On Windows "*.*"
// matches every file; here it would miss files without a dot.
QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList qtFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype bracket = description.lastIndexOf(QLatin1String(" ("));
        if (bracket >= 0)
            description.truncate(bracket);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1String("*.*"), QLatin1String("*")).replace(QLatin1Char(';'), QLatin1Char(' '));
        qtFilters << description + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return qtFilters.join(QLatin1String(";;"));
}

void ShowPortFailure(const QString& detail)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Durnix"), QStringLiteral("Failed to init Com!"),
        QMessageBox::Ok, QApplication::activeWindow());
    box.setInformativeText(detail);
    box.exec();
}

// The file the operator chose in the dialog, or empty.
QString ChosenFile(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString AskFileName(const QString& initialFolder, const QString& filter)
{
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Open File"), initialFolder, QtFileFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly);
    return ChosenFile(dialog);
}

// Appending is the point, so an existing file is no reason to ask.
QString AskLogFileName(const QString& initialFolder)
{
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Start log"), initialFolder,
        QStringLiteral("Logs (*.log *.tsv *.txt);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return ChosenFile(dialog);
}

// A box that waits for nobody: sends, repeats and the log go on while it is open. One that belongs
// to the main window is closed with it and keeps no program running after the window is gone.
void ShowWithoutWaiting(QWidget* window, const QString& message)
{
    auto* box
        = new QMessageBox(QMessageBox::Warning, QStringLiteral("Durnix"), message, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

// Qt reads what it lists from the system's device records; nothing is opened.
QList<SerialDevice> PresentSerialDevices()
{
    QList<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device { info.systemLocation(), info.description(), info.manufacturer(),
            info.serialNumber(), std::nullopt, std::nullopt,
            ByIdName(info.systemLocation(), kSerialByIdFolder) };
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
        devices << device;
    }
    return devices;
}

} // namespace

FormServices DesktopServices(const QString& settingsFolder, PortMap& portMap)
{
    FormServices services;
    services.showPortFailure = ShowPortFailure;
    services.beep = [] { QApplication::beep(); };
    services.askFileName = AskFileName;
    services.timeOfDay = [] { return QTime::currentTime(); };
    services.monotonicMs = [] {
        static QElapsedTimer clock;
        if (!clock.isValid())
            clock.start();
        return clock.elapsed();
    };
    services.settingsFolder = settingsFolder;
    services.programFolder = QCoreApplication::applicationDirPath();
    services.portMap = &portMap;
    services.listSerialDevices = PresentSerialDevices;
    services.askLogFileName = AskLogFileName;
    services.showLogFailure = ShowWithoutWaiting;
    services.showPortLost = ShowWithoutWaiting;
    return services;
}
