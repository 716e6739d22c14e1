#include "serial/qt_port_settings.h"

namespace {

QSerialPort::Parity QtParity(PortParity parity)
{
    switch (parity) {
    case PortParity::None:
        return QSerialPort::NoParity;
    case PortParity::Odd:
        return QSerialPort::OddParity;
    case PortParity::Even:
        return QSerialPort::EvenParity;
    case PortParity::Space:
        return QSerialPort::SpaceParity;
    case PortParity::Mark:
        return QSerialPort::MarkParity;
    }
    return QSerialPort::NoParity;
}

} // namespace

bool ApplyPortSettings(QSerialPort& port, const PortSettings& settings)
{
    return port.setBaudRate(settings.speed) && port.setParity(QtParity(settings.parity))
        && port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits))
        && port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

QSerialPort::FlowControl FlowControlOf(int handshaking)
{
    switch (handshaking) {
    case 1:
        return QSerialPort::SoftwareControl;
    case 2:
    case 3:
        return QSerialPort::HardwareControl;
    }
    return QSerialPort::NoFlowControl;
}
