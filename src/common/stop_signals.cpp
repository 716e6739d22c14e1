#include "common/stop_signals.h"

#include <csignal>
#include <sys/signalfd.h>

int OpenStopSignals()
{
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &stops, nullptr) != 0)
        return -1;
    return signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
}
