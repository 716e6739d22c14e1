#include "log/log_writer.h"

#include <QFile>

namespace
{

constexpr int kFlushIntervalMs = 500;

} // namespace

LogWriter::LogWriter(QObject* parent)
    : QObject(parent)
{
    flushTimer_.setInterval(kFlushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &LogWriter::Flush);
}

LogWriter::~LogWriter()
{
    if (IsOpen())
        WriteOut();
}

std::optional<QString> LogWriter::Open(const QString& path, const QByteArray& header)
{
    Close();
    path_ = path;
    header_ = header;
    if (std::optional<QString> reason = WriteOut()) {
        path_.clear();
        return reason;
    }
    flushTimer_.start();
    return std::nullopt;
}

void LogWriter::Append(const QByteArray& line)
{
    if (IsOpen())
        pending_ += line;
}

void LogWriter::Close()
{
    if (!IsOpen())
        return;
    Flush();
    flushTimer_.stop();
    path_.clear();
}

void LogWriter::Flush()
{
    const std::optional<QString> reason = WriteOut();
    if (!reason)
        return;
    flushTimer_.stop();
    pending_.clear();
    emit failed(std::exchange(path_, {}), *reason);
}

// Unbuffered, so that a full disk shows in the result of write itself.
std::optional<QString> LogWriter::WriteOut()
{
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    const QByteArray bytes = (file.size() == 0 ? header_ : QByteArray()) + std::exchange(pending_, {});
    if (!bytes.isEmpty() && file.write(bytes) != bytes.size())
        return file.errorString();
    return std::nullopt;
}
