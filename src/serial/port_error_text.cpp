#include "serial/port_error_text.h"

namespace {

QString PermissionText(const PortFailure& failure)
{
#ifdef Q_OS_LINUX
    if (!failure.deviceAccessible)
        return QStringLiteral("permission denied. On Linux, add your user to the dialout group.");
#else
    Q_UNUSED(failure);
#endif
    return QStringLiteral("the port is busy; it may be in use by another program.");
}

QString What(const PortFailure& failure)
{
    switch (failure.error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("no such device.");
    case QSerialPort::PermissionError:
        return PermissionText(failure);
    case QSerialPort::NotOpenError:
        return QStringLiteral("the port is not open.");
    // Qt's reason here is often a stale errno from an earlier call, so it is left out.
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        return QStringLiteral("the device has gone away (unplugged, or closed at the other end); "
                              "the port was closed.");
    default:
        return failure.reason + u'.';
    }
}

} // namespace

QString PortErrorText(const PortFailure& failure)
{
    return QStringLiteral("%1: %2").arg(failure.device, What(failure));
}
