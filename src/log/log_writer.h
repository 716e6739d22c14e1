#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

// Appends lines to a file without ever making the caller wait for the disk:
// lines collect in memory and go out on a timer, at least once a second, and
// at Close. Every write opens the file by its path again, so a file removed or
// moved away is noticed (its folder gone is a failure; the file gone starts a
// new one, header first).
class LogWriter : public QObject
{
    Q_OBJECT
public:
    explicit LogWriter(QObject* parent = nullptr);
    ~LogWriter() override;

    // Starts appending to `path`; the reason when it cannot be written.
    std::optional<QString> Open(const QString& path, const QByteArray& header);
    void Append(const QByteArray& line);
    // Writes what has collected and stops; a failure is reported as by the timer.
    void Close();
    bool IsOpen() const { return !path_.isEmpty(); }
    const QString& Path() const { return path_; }

signals:
    // Writing failed and the writer has stopped; what was not written is dropped.
    void failed(const QString& path, const QString& reason);

private:
    void Flush();
    std::optional<QString> WriteOut();

    QString path_;
    QByteArray header_;
    QByteArray pending_;
    QTimer flushTimer_;
};
