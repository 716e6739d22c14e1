#include "serial/qt_serial_comm.h"

#include "serial/port_error_text.h"
#include "serial/qt_port_settings.h"

#include <QFileInfo>

#ifdef Q_OS_LINUX
QtSerialComm::QtSerialComm(const PortMap& portMap, QObject* parent)
    : QtSerialComm(portMap, SystemIoctl(), QStringLiteral("/sys/class/tty"), parent)
{
}

QtSerialComm::QtSerialComm(const PortMap& portMap, TtyIoctl ioctl, const QString& sysfsRoot, QObject* parent)
    : MSComm(parent)
    , portMap_(portMap)
    , poller_(ioctl)
    , rs485_(ioctl)
    , latency_(ioctl, sysfsRoot)
#else
QtSerialComm::QtSerialComm(const PortMap& portMap, QObject* parent)
    : MSComm(parent)
    , portMap_(portMap)
#endif
{
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialComm::OnReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialComm::OnPortError);
#ifdef Q_OS_LINUX
    connect(&poller_, &LinePoller::lineEvent, this, &QtSerialComm::Raise);
#endif
}

QString QtSerialComm::DevicePath() const
{
    return portMap_.DevicePath(commPort_);
}

bool QtSerialComm::setCommPort(int port)
{
    if (port < kFirstComPort || port > kLastComPort) {
        error_ = NoSuchComPortText(port);
        return false;
    }
    commPort_ = port;
    return true;
}

void QtSerialComm::setHandshaking(int mode)
{
    port_.setFlowControl(FlowControlOf(mode));
}

bool QtSerialComm::setSettings(const QString& settings)
{
    const std::optional<PortSettings> parsed = ParsePortSettings(settings);
    if (!parsed)
        return Fail(UnusableSettingsText(settings));
    settingsText_ = settings;
    return ApplyPortSettings(port_, *parsed) || FailWithPortError();
}

bool QtSerialComm::setPortOpen(bool open)
{
    if (!open) {
        Close();
        return true;
    }
    if (port_.isOpen())
        return Fail(QStringLiteral("the port is already open."));
    return Open();
}

bool QtSerialComm::Open()
{
    // QSerialPort keeps the line format and flow control given while closed and applies them here.
    port_.setPortName(DevicePath());
    if (!port_.open(QIODevice::ReadWrite))
        return FailWithPortError(PortFailure::Opening);
    ApplyLines();
#ifdef Q_OS_LINUX
    latency_.Open(port_.handle(), DevicePath(), lowLatency_);
    if (autoRts_)
        rs485_.Enable(port_.handle());
    poller_.Start(port_.handle());
#endif
    return true;
}

void QtSerialComm::Close()
{
#ifdef Q_OS_LINUX
    poller_.Stop();
    rs485_.Restore();
    latency_.Close();
#endif
    port_.close();
}

void QtSerialComm::setInBufferCount(int count)
{
    if (count != 0 || !port_.isOpen())
        return;
    // Drops Qt's own buffer as well as what the driver holds.
    port_.clear(QSerialPort::Input);
}

QByteArray QtSerialComm::input()
{
    // Qt warns about reading a closed device.
    return port_.isOpen() ? port_.readAll() : QByteArray {};
}

bool QtSerialComm::setOutput(const QByteArray& bytes)
{
    if (!port_.isOpen())
        return Fail(QStringLiteral("the port is not open."));
    if (port_.write(bytes) != bytes.size())
        return FailWithPortError();
    // write() only queues; automatic RTS times the packet from this moment on.
    port_.flush();
    return true;
}

void QtSerialComm::setDTREnable(bool raised)
{
    dtr_ = raised;
    SetLine(&QSerialPort::setDataTerminalReady, raised);
}

void QtSerialComm::setRTSEnable(bool raised)
{
    rts_ = raised;
    SetLine(&QSerialPort::setRequestToSend, raised);
}

// Qt can set the lines of an open port only. A device without the line (a pseudo-terminal) says
// the operation is unsupported: there is nothing to drive, which is not a failure.
void QtSerialComm::SetLine(bool (QSerialPort::*setter)(bool), bool raised)
{
    if (!port_.isOpen() || (port_.*setter)(raised))
        return;
    if (port_.error() == QSerialPort::UnsupportedOperationError)
        port_.clearError();
    else
        FailWithPortError();
}

void QtSerialComm::ApplyLines()
{
    SetLine(&QSerialPort::setDataTerminalReady, dtr_);
    SetLine(&QSerialPort::setRequestToSend, rts_);
}

bool QtSerialComm::setAutoRts(bool on)
{
    autoRts_ = on;
#ifdef Q_OS_LINUX
    if (!port_.isOpen())
        return false;
    if (on)
        return rs485_.Enable(port_.handle());
    rs485_.Restore();
#endif
    return false;
}

bool QtSerialComm::rtsByDriver() const
{
#ifdef Q_OS_LINUX
    return rs485_.Active();
#else
    return false;
#endif
}

// Which way automatic RTS goes is said only while it is on.
QString QtSerialComm::portNotes() const
{
    QString notes;
#ifdef Q_OS_LINUX
    if (!latency_.Note().isEmpty())
        notes += QStringLiteral("; ") + latency_.Note();
#endif
    if (autoRts_)
        notes += rtsByDriver() ? QStringLiteral("; RTS by the driver") : QStringLiteral("; RTS by a timer");
    return notes;
}

bool QtSerialComm::setBreak(bool on)
{
    if (!port_.isOpen())
        return Fail(QStringLiteral("the port is not open, so no break can be sent."));
    return port_.setBreakEnabled(on) || FailWithPortError();
}

bool QtSerialComm::Fail(const QString& what)
{
    error_ = QStringLiteral("%1: %2").arg(DevicePath(), what);
    return false;
}

bool QtSerialComm::FailWithPortError(PortFailure::When when)
{
    const QFileInfo device(DevicePath());
    PortFailure failure {DevicePath(), port_.error(), port_.errorString()};
    failure.when = when;
    failure.deviceAccessible = device.isReadable() && device.isWritable();
    failure.notADevice = device.isFile() || device.isDir();
    error_ = PortErrorText(failure);
    return false;
}

void QtSerialComm::OnReadyRead()
{
    if (rThreshold_ > 0 && port_.bytesAvailable() >= rThreshold_)
        Raise(comEvReceive);
}

// A vanished device (unplugged, or the far side of a pseudo-terminal closed) keeps reporting
// read errors at full speed while Qt still calls the port open; closing it ends that. An open
// that fails reports its error here too, before the port was ever open: that is a failure to
// open, which Open() reports, not a lost device.
void QtSerialComm::OnPortError(QSerialPort::SerialPortError error)
{
    if (!port_.isOpen() || (error != QSerialPort::ReadError && error != QSerialPort::ResourceError))
        return;
    FailWithPortError(PortFailure::Lost);
    Close();
    emit portLost();
}

void QtSerialComm::Raise(int code)
{
    event_ = code;
    emit onComm();
}

LineReading QtSerialComm::Lines() const
{
#ifdef Q_OS_LINUX
    return poller_.Read().value_or(LineReading {});
#else
    return {};
#endif
}
