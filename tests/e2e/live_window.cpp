#include "live_window.h"

#include "app/vb_controls.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
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

PortMap Com1Map(const QString& com1Path, const QString& folder)
{
    PortMap map;
    map.SetPath(1, com1Path);
    return SealedPortMap(map, folder);
}

LiveWindow::LiveWindow(const PortMap& portMap, const QString& settingsFolder)
    : comm(portMap)
{
    // Slots run in the order of connection: this one before the window's, the next one after it.
    QObject::connect(
        &comm, &MSComm::onComm, &comm, [this] { stateBeforeEvent_ = form_ ? form_->ResponseState : 0; });

    FormServices services;
    services.showPortFailure = [this](const QString& detail) { portFailures << detail; };
    services.beep = [this] { ++beeps; };
    services.askFileName = [](const QString&, const QString&) { return QString(); };
    services.timeOfDay = [] { return QTime::currentTime(); };
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    services.monotonicMs = [clock] { return clock->elapsed(); };
    services.settingsFolder = settingsFolder;
    services.programFolder = settingsFolder;
    services.portMap = portMap;
    form_ = std::make_unique<DurnixForm>(comm, services);

    QObject::connect(&comm, &MSComm::onComm, &comm, [this] {
        if (comm.commEvent() == MSComm::comEvReceive && stateBeforeEvent_ != 2 && form_->ResponseState == 2)
            ++completeAnswers;
    });
}

LiveWindow::~LiveWindow()
{
    // The window goes before the port it uses.
    form_.reset();
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
