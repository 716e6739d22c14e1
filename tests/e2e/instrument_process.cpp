#include "instrument_process.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

std::optional<InstrumentSummary> ParseInstrumentSummary(const QByteArray& line)
{
    static const QRegularExpression pattern(
        R"(^durnix-instrument: received (\d+) frames, answered (\d+), (\d+) bytes in, (\d+) bytes out$)");
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(line.trimmed()));
    if (!m.hasMatch())
        return std::nullopt;
    return InstrumentSummary { m.captured(1).toLongLong(), m.captured(2).toLongLong(),
        m.captured(3).toLongLong(), m.captured(4).toLongLong() };
}

bool InstrumentProcess::Start(const QStringList& options)
{
    process_.start(DURNIX_INSTRUMENT_PATH, QStringList { "--link", link_ } + options);
    const QDeadlineTimer deadline(10000);
    while (!process_.canReadLine() && process_.state() != QProcess::NotRunning && !deadline.hasExpired())
        process_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    return process_.readLine().trimmed() == QFile::encodeName(link_);
}

QByteArray InstrumentProcess::Stop()
{
    if (process_.state() == QProcess::NotRunning)
        return {};
    process_.terminate();
    process_.waitForFinished(10000);
    return process_.readAllStandardOutput().trimmed(); // Start() has read the line before it
}
