#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

// The counts of the line the instrument prints when it stops.
struct InstrumentSummary {
    qint64 received = 0, answered = 0, bytesIn = 0, bytesOut = 0;
};

std::optional<InstrumentSummary> ParseInstrumentSummary(const QByteArray& line);

// durnix-instrument as a child process, linked in a folder of its own. The link keeps its path
// across restarts, so a window can pick the same port again.
class InstrumentProcess
{
public:
    ~InstrumentProcess() { Stop(); }

    // Starts it with extra options and waits until it prints its link; false when it does not.
    bool Start(const QStringList& options = {});
    // SIGTERM; the summary line it prints on the way out, or empty when it was not running.
    QByteArray Stop();
    // SIGKILL: the pseudo-terminal vanishes at once and the link is left behind.
    void Kill()
    {
        process_.kill();
        process_.waitForFinished(10000);
    }

    QString LinkPath() const { return link_; }
    QString Folder() const { return folder_.path(); }
    qint64 Pid() const { return process_.processId(); }
    // What it printed on stderr so far, for failure messages.
    QByteArray Errors() { return errors_ += process_.readAllStandardError(); }

private:
    QTemporaryDir folder_;
    // The serial port's lock file is named after the device path, so every instance gets a link
    // name of its own and parallel runs never lock each other out.
    QString link_ = QDir(folder_.path()).filePath("tty" + QDir(folder_.path()).dirName());
    QProcess process_;
    QByteArray errors_;
};
