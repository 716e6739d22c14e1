#pragma once

#include <functional>

// The ioctl through which the port asks its tty driver for what Qt does not reach; tests put a driver of
// their own behind it.
using TtyIoctl = std::function<int(int fd, unsigned long request, void* argument)>;

// The system's own ioctl.
TtyIoctl SystemIoctl();
