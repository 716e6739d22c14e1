#include "log/traffic_log.h"

#include "log/log_format.h"

namespace
{

// An answer of every byte ends when no byte has come for this long.
constexpr int kDefaultQuietMs = 50;
// How long the figures of a finished run wait for the answer to its last send.
constexpr int kRunGraceMs = 2000;

} // namespace

TrafficLog::TrafficLog(QObject* parent)
    : QObject(parent)
{
    monotonic_.start();
    quiet_.setSingleShot(true);
    quiet_.setInterval(kDefaultQuietMs);
    runGrace_.setSingleShot(true);
    runGrace_.setInterval(kRunGraceMs);
    connect(&quiet_, &QTimer::timeout, this, &TrafficLog::LineFellQuiet);
    connect(&runGrace_, &QTimer::timeout, this, &TrafficLog::WriteRun);
    connect(&writer_, &LogWriter::failed, this, &TrafficLog::WriteFailed);
}

TrafficLog::~TrafficLog()
{
    // The writer must not report to a log that is going away.
    writer_.disconnect(this);
    Stop();
}

std::optional<QString> TrafficLog::Start(const QString& path, bool repeating)
{
    Stop();
    if (const std::optional<QString> reason = writer_.Open(path, kLogHeader))
        return QStringLiteral("The log %1 cannot be written: %2").arg(path, *reason);
    if (repeating && !run_)
        run_.emplace();
    return std::nullopt;
}

// The file gets what is still open; a repeat run that goes on starts its figures afresh.
void TrafficLog::Stop()
{
    if (!IsRunning())
        return;
    const bool repeating = run_ && !runEnding_;
    WriteAnswer(answers_.Finish());
    if (run_)
        WriteRun();
    writer_.Close();
    Reset();
    if (repeating)
        run_.emplace();
}

void TrafficLog::Sent(const QByteArray& packet, const QString& commandText, double lineMs)
{
    quiet_.stop();
    WriteAnswer(answers_.Sent(monotonic_.nsecsElapsed(), lineMs));
    if (runEnding_)
        WriteRun();
    if (run_)
        run_->Sent();
    Write("TX", packet, commandText);
}

void TrafficLog::Received(QByteArrayView chunk, bool completes, int protocolPosition, const QString& shown)
{
    for (const LoggedAnswer& answer :
        answers_.Received(chunk, completes, protocolPosition, shown, monotonic_.nsecsElapsed()))
        WriteAnswer(answer);
    if (answers_.EndsWhenQuiet())
        quiet_.start();
}

void TrafficLog::Line(const QString& text)
{
    if (!text.isEmpty())
        Write("LINE", {}, text);
}

void TrafficLog::Port(const QString& text)
{
    Write("PORT", {}, text);
}

void TrafficLog::RepeatSwitched(bool on)
{
    if (on && (!run_ || runEnding_)) {
        if (run_)
            WriteRun();
        run_.emplace();
    } else if (!on && run_ && !runEnding_) {
        runEnding_ = true;
        EndRunOnceSettled();
    }
}

void TrafficLog::Write(const char* event, const QByteArray& bytes, const QString& text,
    std::optional<double> ms, std::optional<double> turn)
{
    Record({ { QDateTime::currentDateTime(), QString::fromLatin1(event), bytes, text, ms, turn }, {}, -1 });
}

void TrafficLog::Record(const TrafficRecord& record)
{
    if (writer_.IsOpen())
        writer_.Append(FormatLogRecord(record.record));
    emit recorded(record);
}

void TrafficLog::WriteAnswer(const std::optional<LoggedAnswer>& answer)
{
    if (!answer)
        return;
    const QString text = LogAnswerText(answer->shown) + (answer->cut ? QStringLiteral("<CUT>") : QString())
        + (answer->outcome.complete ? QString() : QStringLiteral("<INCOMPLETE>"));
    Record({ { QDateTime::currentDateTime(), QStringLiteral("RX"), answer->bytes, text, answer->outcome.ms,
                 answer->outcome.turn },
        answer->outcome, answer->protocol });
    if (run_)
        run_->Answered(answer->outcome);
    if (runEnding_)
        EndRunOnceSettled();
}

void TrafficLog::EndRunOnceSettled()
{
    if (answers_.LatestSendSettled() || !run_->Sends())
        WriteRun();
    else if (!runGrace_.isActive())
        runGrace_.start();
}

void TrafficLog::WriteRun()
{
    runGrace_.stop();
    if (run_)
        Write("RUN", {}, run_->Summary());
    run_.reset();
    runEnding_ = false;
}

void TrafficLog::LineFellQuiet()
{
    WriteAnswer(answers_.Finish());
}

void TrafficLog::WriteFailed(const QString& path, const QString& reason)
{
    if (!writer_.IsOpen()) // not so when it was the end of a log before this one
        Reset();
    emit failed(QStringLiteral("Logging stopped: the log %1 cannot be written: %2").arg(path, reason));
}

void TrafficLog::Reset()
{
    quiet_.stop();
    runGrace_.stop();
    answers_ = {};
    run_.reset();
    runEnding_ = false;
}

void TrafficLog::SetQuietMs(int ms)
{
    quiet_.setInterval(ms);
}
