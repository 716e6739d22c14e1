#pragma once

#include "serial/tty_ioctl.h"

#include <linux/serial.h>
#include <optional>

// The kernel's RS-485 mode: a driver that has it raises RTS itself exactly while bits are on the line,
// which no timer of ours can match. What the driver had before is kept and put back.
class KernelRs485
{
public:
    explicit KernelRs485(TtyIoctl ioctl);

    // Asks the driver of `fd` for RTS on send; whether it took it.
    bool Enable(int fd);
    // Puts back the driver's earlier settings; nothing when it never took ours.
    void Restore();
    bool Active() const { return previous_.has_value(); }

private:
    TtyIoctl ioctl_;
    int fd_ = -1;
    std::optional<serial_rs485> previous_;
};
