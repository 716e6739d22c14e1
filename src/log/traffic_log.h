#pragma once

#include "log/answer_tracker.h"
#include "log/log_writer.h"
#include "log/run_statistics.h"
#include "log/traffic_record.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <optional>

// The record of the line: what is sent and received, the line's events and the
// figures of each repeat run, as records of the log file. The window and the plan
// runner call it at each of those moments. Every record is announced by
// recorded(), and appended to the file while a log runs.
class TrafficLog : public QObject
{
    Q_OBJECT
public:
    explicit TrafficLog(QObject* parent = nullptr);
    ~TrafficLog() override;

    // Starts appending to `path`; `repeating` when a repeat run is already on.
    // The message for the operator when the file cannot be written.
    std::optional<QString> Start(const QString& path, bool repeating);
    // Records what is still open (the latest answer, a repeat run) and closes the file.
    void Stop();
    bool IsRunning() const { return writer_.IsOpen(); }
    QString Path() const { return writer_.Path(); }

    // A packet written to the open port; `commandText` as the command box held it,
    // `lineMs` the packet's time on the line at the port's settings.
    void Sent(const QByteArray& packet, const QString& commandText, double lineMs);
    // A chunk of received bytes, as described for AnswerTracker::Received.
    void Received(QByteArrayView chunk, bool completes, int protocolPosition, const QString& shown);
    void Line(const QString& text);
    void Port(const QString& text);
    void RepeatSwitched(bool on);
    // How long the line must be quiet to end an answer of a framing without an end mark.
    void SetQuietMs(int ms);

signals:
    // Logging has stopped because the file could not be written.
    void failed(const QString& message);
    // Each record as it is made, whether or not a file is being written.
    void recorded(const TrafficRecord& record);

private:
    void Write(const char* event, const QByteArray& bytes, const QString& text, std::optional<double> ms = {},
        std::optional<double> turn = {});
    void Record(const TrafficRecord& record);
    void WriteAnswer(const std::optional<LoggedAnswer>& answer);
    void WriteRun();
    void EndRunOnceSettled();
    void LineFellQuiet();
    void WriteFailed(const QString& path, const QString& reason);
    void Reset();

    LogWriter writer_;
    AnswerTracker answers_;
    std::optional<RunStatistics> run_;
    bool runEnding_ = false;
    QTimer quiet_;
    QTimer runGrace_;
    QElapsedTimer monotonic_; // for the answer times
};
