#include "serial/usb_latency.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace
{

const char* const Hint = "a udev rule with ATTR{latency_timer}=\"1\" for the adapter lowers it";

} // namespace

UsbLatency::UsbLatency(TtyIoctl ioctl, QString sysfsRoot)
    : ioctl_(std::move(ioctl))
    , sysfsRoot_(std::move(sysfsRoot))
{
}

// A name under /dev/serial/by-id leads to the tty whose folder sysfs keeps.
std::optional<int> UsbLatency::ReadTimer(const QString& device) const
{
    const QFileInfo resolved(QFileInfo(device).canonicalFilePath());
    QFile timer(sysfsRoot_ + u'/' + resolved.fileName() + QStringLiteral("/device/latency_timer"));
    if (resolved.fileName().isEmpty() || !timer.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const int ms = timer.read(16).trimmed().toInt(&ok); // a number of a few digits; no more is read
    return ok ? std::optional(ms) : std::nullopt;
}

void UsbLatency::Open(int fd, const QString& device, bool lowLatency)
{
    flagSetOn_ = -1;
    const std::optional<int> before = ReadTimer(device);
    note_ = before ? QStringLiteral("USB latency timer %1 ms").arg(*before) : QString();
    if (!before || !lowLatency)
        return;
    const QString refused = AskLowLatency(fd);
    const int now = ReadTimer(device).value_or(*before);
    if (!refused.isEmpty())
        note_ += QStringLiteral("; the driver refused low latency (%1): %2").arg(refused, Hint);
    else if (now != *before)
        note_ = QStringLiteral("USB latency timer %1 ms (was %2 ms)").arg(now).arg(*before);
    else if (now > 1)
        note_ += QStringLiteral("; low latency did not lower it: %1").arg(Hint);
}

// The reason the driver gave, empty when the flag is in force.
QString UsbLatency::AskLowLatency(int fd)
{
    serial_struct serial {};
    if (ioctl_(fd, TIOCGSERIAL, &serial) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (serial.flags & ASYNC_LOW_LATENCY)
        return {};
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl_(fd, TIOCSSERIAL, &serial) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    flagSetOn_ = fd;
    return {};
}

void UsbLatency::Close()
{
    serial_struct serial {};
    if (flagSetOn_ >= 0 && ioctl_(flagSetOn_, TIOCGSERIAL, &serial) == 0) {
        serial.flags &= ~ASYNC_LOW_LATENCY;
        (void)ioctl_(flagSetOn_, TIOCSSERIAL, &serial);
    }
    flagSetOn_ = -1;
    note_.clear();
}
