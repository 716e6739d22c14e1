#include "instrument/pty_device.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace
{

QString SystemError(const char* what)
{
    return QString("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

bool MakeRaw(int fd)
{
    termios settings {};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

bool PrepareDescriptors(int master, int slave)
{
    return fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) == 0
        && fcntl(master, F_SETFD, FD_CLOEXEC) == 0 && fcntl(slave, F_SETFD, FD_CLOEXEC) == 0
        && MakeRaw(slave);
}

// Only a symbolic link may be replaced: a stale one is ours from an earlier run.
bool ReplaceLink(const QByteArray& target, const QByteArray& link, QString& error)
{
    struct stat status {
    };
    if (lstat(link.constData(), &status) == 0) {
        if (!S_ISLNK(status.st_mode)) {
            error = QString("%1 exists and is not a link").arg(QFile::decodeName(link));
            return false;
        }
        unlink(link.constData());
    }
    if (symlink(target.constData(), link.constData()) != 0) {
        error = SystemError(link.constData());
        return false;
    }
    return true;
}

QByteArray LinkTarget(const QByteArray& link)
{
    char target[PATH_MAX];
    const ssize_t length = readlink(link.constData(), target, sizeof target);
    return length < 0 ? QByteArray() : QByteArray(target, length);
}

} // namespace

std::unique_ptr<PtyDevice> PtyDevice::Open(const QString& linkPath, QString& error)
{
    int master = -1;
    int slave = -1;
    char slavePath[PATH_MAX] = {};
    if (openpty(&master, &slave, slavePath, nullptr, nullptr) != 0) {
        error = SystemError("openpty");
        return nullptr;
    }
    std::unique_ptr<PtyDevice> device(new PtyDevice(master, slave, slavePath));
    if (!PrepareDescriptors(master, slave)) {
        error = SystemError("pseudo-terminal settings");
        return nullptr;
    }
    if (!ReplaceLink(slavePath, QFile::encodeName(linkPath), error))
        return nullptr;
    device->linkPath_ = QFile::encodeName(linkPath);
    return device;
}

PtyDevice::PtyDevice(int master, int slave, QByteArray slavePath)
    : master_(master)
    , slave_(slave)
    , slavePath_(std::move(slavePath))
{
}

PtyDevice::~PtyDevice()
{
    if (!linkPath_.isEmpty() && LinkTarget(linkPath_) == slavePath_)
        unlink(linkPath_.constData());
    close(slave_);
    close(master_);
}
