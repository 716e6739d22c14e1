#include "serial/port_error_text.h"

namespace {

struct Cause {
    QString words;
    QString hint; // what the operator can do, or empty
};

Cause PermissionCause(const PortFailure& failure)
{
#ifdef Q_OS_LINUX
    if (!failure.deviceAccessible)
        return {QStringLiteral("permission denied"), QStringLiteral("On Linux, add your user to the dialout group.")};
#else
    Q_UNUSED(failure);
#endif
    return {QStringLiteral("the port is busy"), QStringLiteral("It may be in use by another program.")};
}

// Opening a node with no serial hardware behind it fails with an I/O error, and a file that is not
// a terminal with "inappropriate ioctl"; Qt calls these a resource and an unsupported operation.
Cause OpeningCause(const PortFailure& failure)
{
    if (failure.error == QSerialPort::DeviceNotFoundError)
        return {QStringLiteral("no such device"), {}};
    if (failure.notADevice || failure.error == QSerialPort::UnsupportedOperationError)
        return {QStringLiteral("not a serial port"), {}};
    if (failure.error == QSerialPort::PermissionError)
        return PermissionCause(failure);
    if (failure.error == QSerialPort::ResourceError)
        return {QStringLiteral("the device does not answer"), QStringLiteral("There may be no serial port behind it.")};
    return {failure.reason, {}};
}

} // namespace

QString PortErrorText(const PortFailure& failure)
{
    // After a lost device Qt's reason is often a stale errno from an earlier call, so it is left out.
    if (failure.when == PortFailure::Lost)
        return QStringLiteral("%1: the device went away (unplugged, or closed at the other end); the port was closed.")
            .arg(failure.device);
    const Cause cause = failure.when == PortFailure::Opening ? OpeningCause(failure) : Cause {failure.reason, {}};
    QString text = QStringLiteral("%1: %2").arg(failure.device, cause.words);
    if (cause.words != failure.reason && !failure.reason.isEmpty())
        text += QStringLiteral(" (%1)").arg(failure.reason);
    text += u'.';
    if (!cause.hint.isEmpty())
        text += u' ' + cause.hint;
    return text;
}
