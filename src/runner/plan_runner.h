#pragma once

#include "log/traffic_log.h"
#include "plan/plan.h"
#include "response/receiver.h"
#include "runner/plan_answer.h"
#include "runner/plan_port.h"
#include "runner/plan_report.h"

#include <QObject>
#include <QTextStream>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

// Settings given for the whole run: the plan's own steps for them are skipped.
struct PlanOverrides {
    std::optional<QString> port;
    std::optional<QString> settings;
    std::optional<int> protocol;
    std::optional<qint64> address;
};

// Runs a plan's steps one after another on the event loop: the next step goes as soon as the answer
// to a send is complete, and only waits, timeouts and the break run on timers.
class PlanRunner : public QObject
{
    Q_OBJECT
public:
    PlanRunner(const Plan& plan, const PortMap& portMap, const PlanOverrides& overrides, TrafficLog& log,
        PlanReport& report, QTextStream& errors);
    ~PlanRunner() override;

    // Starts the run on the event loop.
    void Start();
    // Ends the run at once with `status`: the port is closed.
    void Stop(int status);

signals:
    // The run has ended; 2 when the plan could not be run to its end.
    void finished(int status);

private:
    enum class Waiting { Nothing, Answer, Time, Break };
    struct Block {
        const std::vector<PlanStep>* steps;
        size_t next = 0;
        qint64 passes = 1;
        qint64 done = 0;
    };

    void Next();
    bool Run(const PlanStep& step);
    bool RunPortStep(const PlanStep& step);
    bool RunLineStep(const PlanStep& step);
    bool RunTimeStep(const PlanStep& step);
    void EndPass();
    bool OpenPort(const QString& name);
    bool ApplySettings();
    bool Send(const PlanStep& step);
    bool StartBreak();
    void Judge(const PlanStep& check);
    void Received();
    void Recorded(const TrafficRecord& record);
    void TimeUp();
    void PortLost();
    void Resume();
    bool Fail(const QString& message);
    QString PortAndCause() const;
    LineFormat Format() const;

    std::vector<Block> blocks_;
    PortMap portMap_;
    PlanOverrides overrides_;
    TrafficLog& log_;
    PlanReport& report_;
    QTextStream& errors_;
    Receiver receiver_;
    std::unique_ptr<PlanPort> port_;
    QString portName_;
    QString settings_ = QStringLiteral("9600,N,8,1");
    int protocol_ = 0;
    qint64 address_ = 0;
    DecodeOptions options_;
    bool dtr_ = false, rts_ = false, autoRts_ = false;
    qint64 timeoutMs_ = 1000;
    PlanAnswer answer_;
    Waiting waiting_ = Waiting::Nothing;
    QTimer stepTimer_;
    QTimer rtsTimer_;
    bool ended_ = false;
};
