#include "instrument_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{

constexpr int kStartMs = 10000;
constexpr int kStopMs = 10000;

} // namespace

std::optional<InstrumentSummary> ParseInstrumentSummary(const QByteArray& line)
{
    static const QRegularExpression pattern(
        R"(^durnix-instrument: received (\d+) frames, answered (\d+), (\d+) bytes in, (\d+) bytes out$)");
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(line.trimmed()));
    if (!match.hasMatch())
        return std::nullopt;
    return InstrumentSummary { match.captured(1).toLongLong(), match.captured(2).toLongLong(),
        match.captured(3).toLongLong(), match.captured(4).toLongLong() };
}

// The serial port's lock file is named after the device path, so every instance gets a link
// name of its own and parallel runs never lock each other out.
InstrumentProcess::InstrumentProcess()
    : link_(QDir(folder_.path()).filePath("tty" + QFileInfo(folder_.path()).fileName()))
{
}

InstrumentProcess::~InstrumentProcess()
{
    if (process_.state() != QProcess::NotRunning)
        Stop();
}

bool InstrumentProcess::Start(const QStringList& options)
{
    process_.start(DURNIX_INSTRUMENT_PATH, QStringList { "--link", link_ } + options);
    const QDeadlineTimer deadline(kStartMs);
    while (!process_.canReadLine() && process_.state() != QProcess::NotRunning && !deadline.hasExpired())
        process_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    return process_.readLine().trimmed() == QFile::encodeName(link_);
}

QByteArray InstrumentProcess::Stop()
{
    process_.terminate();
    process_.waitForFinished(kStopMs);
    for (const QByteArray& line : process_.readAllStandardOutput().split('\n'))
        if (ParseInstrumentSummary(line))
            return line.trimmed();
    return {};
}

void InstrumentProcess::Kill()
{
    process_.kill();
    process_.waitForFinished(kStopMs);
}

QByteArray InstrumentProcess::Errors()
{
    errors_ += process_.readAllStandardError();
    return errors_;
}
