#include "log/log_file_append.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const QString kNotAFile = QStringLiteral("it is not a plain file");

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::optional<QString> WriteAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return FileErrorText(n < 0 ? errno : ENOSPC);
        done += n;
    }
    return std::nullopt;
}

} // namespace

QString FileErrorText(int error)
{
    if (error == ENOSPC)
        return QStringLiteral("the disk is full");
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<QString> RefusedLogPath(const QString& path)
{
    struct stat status {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return kNotAFile;
    return std::nullopt;
}

std::optional<QString> AppendWholeRecords(
    const QString& path, const QByteArray& header, const QByteArray& records)
{
    if (std::optional<QString> refusal = RefusedLogPath(path))
        return refusal;
    // Non-blocking, in case a FIFO took the file's place since the check: it fails instead of waiting.
    const Descriptor file(::open(
        QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return FileErrorText(errno);
    struct stat status {
    };
    if (::fstat(file.get(), &status) != 0)
        return FileErrorText(errno);
    if (!S_ISREG(status.st_mode))
        return kNotAFile;
    const QByteArray bytes = (status.st_size == 0 ? header : QByteArray()) + records;
    std::optional<QString> reason = WriteAll(file.get(), bytes);
    if (reason && ::ftruncate(file.get(), status.st_size) != 0)
        *reason += QStringLiteral(", and the last record could not be taken back");
    return reason;
}
