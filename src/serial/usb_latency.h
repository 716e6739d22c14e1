#pragma once

#include "serial/tty_ioctl.h"

#include <QString>
#include <optional>

// Where the driver of a USB serial adapter holds received bytes for a latency timer (16 ms on the most
// common chips), every answer arrives that much late. At opening the timer is read from sysfs and the
// driver asked for low latency, which such drivers turn into their shortest timer.
class UsbLatency
{
public:
    // `sysfsRoot` holds a folder per tty, as /sys/class/tty does.
    UsbLatency(TtyIoctl ioctl, QString sysfsRoot);

    void Open(int fd, const QString& device, bool lowLatency);
    // Clears the low-latency flag again where Open set it; nothing else.
    void Close();
    // For the port record and the port's tooltip; empty for a device without the timer.
    QString Note() const { return note_; }

private:
    std::optional<int> ReadTimer(const QString& device) const;
    QString AskLowLatency(int fd);

    TtyIoctl ioctl_;
    QString sysfsRoot_;
    int flagSetOn_ = -1; // the descriptor whose flag Open set
    QString note_;
};
