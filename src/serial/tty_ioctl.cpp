#include "serial/tty_ioctl.h"

#include <sys/ioctl.h>

TtyIoctl SystemIoctl()
{
    return [](int fd, unsigned long request, void* argument) { return ::ioctl(fd, request, argument); };
}
