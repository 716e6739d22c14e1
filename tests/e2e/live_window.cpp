#include "live_window.h"

#include "app/vb_controls.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>

QByteArray CountingComm::input()
{
    const QByteArray bytes = QtSerialComm::input();
    bytesRead += bytes.size();
    largestRead = std::max<qint64>(largestRead, bytes.size());
    return bytes;
}

PortMap SealedPortMap(PortMap map, const QString& folder)
{
    for (int port = 1; port <= 16; ++port)
        if (!map.Entries().contains(port))
            map.SetPath(port, QDir(folder).filePath(QStringLiteral("absent-COM%1").arg(port)));
    return map;
}

LiveWindow::LiveWindow(const PortMap& portMap, const QString& settingsFolder)
    : comm(portMap)
{
    // Slots run in the order of connection: this one sees the state before the window's.
    auto before = std::make_shared<qint16>(0);
    QObject::connect(
        &comm, &MSComm::onComm, &comm, [this, before] { *before = form_ ? form_->ResponseState : 0; });

    FormServices services = DesktopServices(settingsFolder, portMap);
    services.showPortFailure = [this](const QString& detail) { portFailures << detail; };
    services.beep = [this] { ++beeps; };
    services.askFileName = [](const QString&, const QString&) { return QString(); };
    form_ = std::make_unique<DurnixForm>(comm, services);

    QObject::connect(&comm, &MSComm::onComm, &comm, [this, before] {
        if (comm.commEvent() == MSComm::comEvReceive && *before != 2 && form_->ResponseState == 2)
            ++completeAnswers;
    });
}

void LiveWindow::Send(int protocol, const QString& command, bool hex, const QString& address)
{
    Prepare(protocol, command, hex, address);
    form_->CommandSend_Click();
}

void LiveWindow::Prepare(int protocol, const QString& command, bool hex, const QString& address)
{
    DurnixForm& f = *form_;
    f.OptionModeFree->setChecked(true);
    f.ComboProt->setCurrentIndex(protocol);
    f.TextAddr->setText(address);
    SetVbValue(f.CheckHex, hex ? 1 : 0);
    SetVbValue(f.CheckDisp, 0);
    f.TextOutput->setEditText(command);
}
