#include "log/log_writer.h"

#include "log/log_file_append.h"

#include <QDeadlineTimer>

namespace
{

constexpr int kFlushIntervalMs = 500;
// Records collected before they go out at once rather than at the next tick.
constexpr qsizetype kBatchBytes = 1 << 20;
// Records handed to a file that does not take them before logging gives up on it.
constexpr qint64 kWaitingLimit = 16 << 20;
// How long the end of a log may take at exit before a hung file system is left behind.
constexpr int kExitWaitMs = 3000;

} // namespace

LogWriter::LogWriter(QObject* parent)
    : QObject(parent)
{
    flushTimer_.setInterval(kFlushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &LogWriter::Flush);
    fileSide_.moveToThread(&thread_);
    thread_.start();
}

LogWriter::~LogWriter()
{
    Close();
    // Queued behind the last records, so that they are written first.
    QMetaObject::invokeMethod(&fileSide_, [] { QThread::currentThread()->quit(); });
    if (!thread_.wait(QDeadlineTimer(kExitWaitMs))) {
        thread_.terminate(); // blocked in the file system; its write is a cancellation point
        thread_.wait();
    }
}

std::optional<QString> LogWriter::Open(const QString& path, const QByteArray& header)
{
    Close();
    if (std::optional<QString> refusal = RefusedLogPath(path))
        return refusal;
    path_ = path;
    header_ = header;
    ++session_;
    Flush();
    flushTimer_.start();
    return std::nullopt;
}

void LogWriter::Append(const QByteArray& line)
{
    if (!IsOpen())
        return;
    pending_ += line;
    if (pending_.size() >= kBatchBytes)
        Flush();
}

void LogWriter::Close()
{
    if (!IsOpen())
        return;
    Flush();
    flushTimer_.stop();
    path_.clear();
}

// Hands the collected records to the file's thread. Each batch holds whole records only.
void LogWriter::Flush()
{
    if (waiting_ > kWaitingLimit) {
        Stop(QStringLiteral("the file takes no more records (%1 MiB waiting)").arg(waiting_ >> 20));
        return;
    }
    const QByteArray records = std::exchange(pending_, {});
    waiting_ += records.size();
    QMetaObject::invokeMethod(
        &fileSide_, [this, session = session_, path = path_, header = header_, records] {
            const std::optional<QString> reason = AppendWholeRecords(path, header, records);
            QMetaObject::invokeMethod(
                this, [=, this] { Written(session, records.size(), path, reason); }, Qt::QueuedConnection);
        });
}

void LogWriter::Written(
    quint64 session, qint64 bytes, const QString& path, const std::optional<QString>& reason)
{
    waiting_ -= bytes;
    if (!reason || session == failedSession_)
        return;
    if (session == session_ && IsOpen())
        Stop(*reason);
    else
        emit failed(path, *reason);
    failedSession_ = session;
}

void LogWriter::Stop(const QString& reason)
{
    flushTimer_.stop();
    pending_.clear();
    failedSession_ = session_;
    emit failed(std::exchange(path_, {}), reason);
}
