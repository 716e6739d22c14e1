#include "serial/kernel_rs485.h"

#include <sys/ioctl.h>

KernelRs485::KernelRs485(TtyIoctl ioctl)
    : ioctl_(std::move(ioctl))
{
}

// RTS goes high for sending and low after it; the driver's delays and other flags stay its own.
bool KernelRs485::Enable(int fd)
{
    if (Active())
        return true;
    serial_rs485 before {};
    if (ioctl_(fd, TIOCGRS485, &before) != 0)
        return false;
    serial_rs485 wanted = before;
    wanted.flags = (before.flags & ~SER_RS485_RTS_AFTER_SEND) | SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    if (ioctl_(fd, TIOCSRS485, &wanted) != 0)
        return false;
    fd_ = fd;
    previous_ = before;
    return true;
}

void KernelRs485::Restore()
{
    if (!previous_)
        return;
    (void)ioctl_(fd_, TIOCSRS485, &*previous_);
    previous_.reset();
    fd_ = -1;
}
