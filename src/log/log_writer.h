#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>
#include <optional>

// Appends lines to a file without ever making the caller wait for the disk:
// lines collect in memory and go out on a timer, at least once a second, and
// at Close. The file is written by a thread of its own, so a full, slow or
// hung file system costs the caller nothing; what waits for it is bounded.
// Every write opens the file by its path again, so a file removed or moved
// away is noticed (its folder gone is a failure; the file gone starts a new
// one, header first).
class LogWriter : public QObject
{
    Q_OBJECT
public:
    explicit LogWriter(QObject* parent = nullptr);
    // Writes what was handed over, waiting a few seconds at most for a file system that hangs.
    ~LogWriter() override;

    // Starts appending to `path`; the reason when the path is refused at once. A file that cannot
    // be written is reported by `failed` shortly after.
    std::optional<QString> Open(const QString& path, const QByteArray& header);
    void Append(const QByteArray& line);
    // Hands what has collected to the file and stops; a failure is reported as by the timer.
    void Close();
    bool IsOpen() const { return !path_.isEmpty(); }
    const QString& Path() const { return path_; }

signals:
    // Writing to `path` failed; when it is the open file, the writer has stopped and what was not
    // written is dropped.
    void failed(const QString& path, const QString& reason);

private:
    void Flush();
    void Written(quint64 session, qint64 bytes, const QString& path, const std::optional<QString>& reason);
    void Stop(const QString& reason);

    QThread thread_;
    QObject fileSide_; // lives in thread_: the file's work is queued to it
    QString path_;
    QByteArray header_;
    QByteArray pending_;
    qint64 waiting_ = 0; // handed to the file and not yet written
    quint64 session_ = 0; // tells the current file's results from those of one closed before
    quint64 failedSession_ = 0; // each file's failure is reported once
    QTimer flushTimer_;
};
