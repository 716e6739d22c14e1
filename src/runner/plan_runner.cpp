#include "runner/plan_runner.h"

#include "log/log_events.h"
#include "serial/port_settings.h"

namespace
{

// The window holds a break until a second and a half has passed.
constexpr int kBreakMs = 1500;

} // namespace

PlanRunner::PlanRunner(const Plan& plan, const PortMap& portMap, const PlanOverrides& overrides,
    TrafficLog& log, PlanReport& report, QTextStream& errors)
    : blocks_ { { &plan.steps } }
    , portMap_(portMap)
    , overrides_(overrides)
    , log_(log)
    , report_(report)
    , errors_(errors)
{
    options_.freeTextMode = true;
    settings_ = overrides.settings.value_or(settings_);
    protocol_ = overrides.protocol.value_or(protocol_);
    address_ = overrides.address.value_or(address_);
    stepTimer_.setSingleShot(true);
    rtsTimer_.setSingleShot(true);
    connect(&stepTimer_, &QTimer::timeout, this, &PlanRunner::TimeUp);
    connect(&rtsTimer_, &QTimer::timeout, this, [this] {
        if (port_)
            port_->comm().setRTSEnable(false);
    });
    connect(&log_, &TrafficLog::recorded, this, &PlanRunner::Recorded);
}

PlanRunner::~PlanRunner() = default;

void PlanRunner::Start()
{
    QTimer::singleShot(0, this, [this] {
        if (!overrides_.port || OpenPort(*overrides_.port))
            Next();
    });
}

void PlanRunner::Stop(int status)
{
    if (ended_)
        return;
    ended_ = true;
    stepTimer_.stop();
    rtsTimer_.stop();
    if (port_ && port_->comm().portOpen())
        port_->comm().setPortOpen(false);
    log_.Stop();
    emit finished(status);
}

void PlanRunner::Next()
{
    while (!ended_) {
        if (blocks_.empty())
            return Stop(0);
        Block& block = blocks_.back();
        if (block.next == block.steps->size()) {
            EndPass();
            continue;
        }
        if (!Run((*block.steps)[block.next++]))
            return;
    }
}

void PlanRunner::EndPass()
{
    Block& block = blocks_.back();
    block.next = 0;
    if (++block.done < block.passes) {
        if (blocks_.size() == 2)
            report_.Progress(block.done, block.passes);
        return;
    }
    blocks_.pop_back();
    if (blocks_.size() == 1)
        report_.RepeatEnded();
}

// False when the step waits for the line or a timer, or the run has ended.
bool PlanRunner::Run(const PlanStep& step)
{
    using Kind = PlanStep::Kind;
    if (step.IsCheck()) {
        Judge(step);
        return true;
    }
    switch (step.kind) {
    case Kind::Send:
        return Send(step);
    case Kind::Repeat:
        if (step.number > 0 && !step.body.empty())
            blocks_.push_back({ &step.body, 0, step.number });
        return true;
    case Kind::Port:
    case Kind::Settings:
    case Kind::Protocol:
    case Kind::Address:
        return RunPortStep(step);
    case Kind::Timeout:
    case Kind::Quiet:
    case Kind::Wait:
    case Kind::Break:
        return RunTimeStep(step);
    default:
        return RunLineStep(step);
    }
}

bool PlanRunner::RunPortStep(const PlanStep& step)
{
    using Kind = PlanStep::Kind;
    if (step.kind == Kind::Port)
        return overrides_.port || OpenPort(step.text);
    if (step.kind == Kind::Settings && !overrides_.settings) {
        settings_ = step.text;
        return !port_ || ApplySettings();
    }
    if (step.kind == Kind::Protocol && !overrides_.protocol)
        protocol_ = int(step.number);
    if (step.kind == Kind::Address && !overrides_.address)
        address_ = step.number;
    return true;
}

// The options of the command and the line signals, as the window's check boxes set them.
bool PlanRunner::RunLineStep(const PlanStep& step)
{
    using Kind = PlanStep::Kind;
    MSComm* comm = port_ ? &port_->comm() : nullptr;
    switch (step.kind) {
    case Kind::Hex:
        options_.hex = step.on;
        break;
    case Kind::Disp:
        options_.disp = step.on;
        break;
    case Kind::National:
        options_.aa = step.on;
        break;
    case Kind::Dtr:
        dtr_ = step.on;
        if (comm)
            comm->setDTREnable(dtr_);
        break;
    case Kind::Rts:
        rts_ = step.on && !autoRts_;
        if (comm)
            comm->setRTSEnable(rts_);
        break;
    default: // automatic RTS lowers RTS first, as the window does
        autoRts_ = step.on;
        rts_ = rts_ && !autoRts_;
        if (comm) {
            comm->setRTSEnable(rts_);
            comm->setAutoRts(autoRts_);
        }
    }
    return true;
}

bool PlanRunner::RunTimeStep(const PlanStep& step)
{
    switch (step.kind) {
    case PlanStep::Kind::Timeout:
        timeoutMs_ = step.number;
        return true;
    case PlanStep::Kind::Quiet:
        log_.SetQuietMs(int(step.number));
        return true;
    case PlanStep::Kind::Wait:
        waiting_ = Waiting::Time;
        stepTimer_.start(int(step.number));
        return false;
    default:
        return StartBreak();
    }
}

bool PlanRunner::OpenPort(const QString& name)
{
    if (port_ && port_->comm().portOpen())
        port_->comm().setPortOpen(false);
    portName_ = name;
    port_ = std::make_unique<PlanPort>(portMap_, name, receiver_, log_);
    MSComm& comm = port_->comm();
    comm.setHandshaking(0);
    comm.setDTREnable(dtr_);
    comm.setRTSEnable(rts_);
    comm.setAutoRts(autoRts_);
    if (!comm.setSettings(settings_) || (comm.setRThreshold(1), !comm.setPortOpen(true))) {
        log_.Port(PortFailedText(port_->number(), comm.errorText()));
        return Fail(QStringLiteral("cannot open ") + PortAndCause());
    }
    log_.Port(PortOpenedText(port_->number(), port_->device(), comm.settingsReport() + comm.portNotes()));
    connect(&comm, &MSComm::onComm, this, &PlanRunner::Received);
    connect(&comm, &MSComm::portLost, this, &PlanRunner::PortLost);
    return true;
}

bool PlanRunner::ApplySettings()
{
    if (port_->comm().setSettings(settings_))
        return true;
    return Fail(QStringLiteral("%1 refuses the settings %2: %3")
                    .arg(portName_, settings_, port_->comm().errorText()));
}

bool PlanRunner::Send(const PlanStep& step)
{
    answer_ = PlanAnswer();
    answer_.command = step.text;
    answer_.timeoutMs = timeoutMs_;
    const auto packet = CommandPacket(step.text, options_, protocol_, address_);
    if (!packet)
        return true;
    if (!port_ || !port_->comm().portOpen())
        return Fail(QStringLiteral("line %1: no port is open to send on").arg(step.line));
    const Exchange::Written written = port_->exchange().Write(*packet, step.text, Format(), autoRts_);
    if (ended_)
        return false;
    if (!written.taken)
        return Fail(
            QStringLiteral("%1 did not take the packet: %2").arg(portName_, port_->comm().errorText()));
    if (written.rtsMs > 0)
        rtsTimer_.start(written.rtsMs);
    answer_.sent = true;
    waiting_ = Waiting::Answer;
    stepTimer_.start(int(timeoutMs_));
    return false;
}

bool PlanRunner::StartBreak()
{
    if (!port_ || !port_->comm().portOpen())
        return true;
    if (autoRts_)
        port_->comm().setRTSEnable(true);
    waiting_ = Waiting::Break;
    if (port_->comm().setBreak(true))
        stepTimer_.start(kBreakMs);
    else
        TimeUp();
    return false;
}

void PlanRunner::Judge(const PlanStep& check)
{
    report_.Check(check, answer_, JudgeCheck(check, answer_), blocks_.size() > 1);
}

// Whatever arrives outside a send's wait is read and dropped.
void PlanRunner::Received()
{
    if (port_->comm().commEvent() != MSComm::comEvReceive)
        return;
    const bool awaiting = waiting_ == Waiting::Answer;
    const bool startsAnswer = awaiting && !answer_.anyByte;
    const QByteArray chunk = port_->exchange().Receive(startsAnswer, protocol_).chunk;
    if (awaiting && waiting_ == Waiting::Answer) {
        answer_.anyByte = answer_.anyByte || !chunk.isEmpty();
        answer_.bytes += chunk;
        answer_.text = receiver_.answerDisplay().remove(QLatin1Char('\n'));
    }
}

// The log ends an answer by the framing's rules: at its last byte, or when the line falls quiet.
void PlanRunner::Recorded(const TrafficRecord& record)
{
    if (waiting_ != Waiting::Answer || !record.outcome || record.record.event != QLatin1String("RX"))
        return;
    answer_.anyByte = true;
    answer_.complete = record.outcome->complete;
    answer_.ms = record.outcome->ms;
    answer_.bytes = record.record.bytes;
    answer_.text = receiver_.answerDisplay().remove(QLatin1Char('\n'));
    Resume();
}

void PlanRunner::TimeUp()
{
    if (waiting_ == Waiting::Break) {
        port_->comm().setBreak(false);
        if (autoRts_)
            port_->comm().setRTSEnable(false);
    }
    Resume();
}

void PlanRunner::PortLost()
{
    Fail(QStringLiteral("lost ") + PortAndCause());
}

// The next step runs on a turn of its own, outside the port's and the log's signals.
void PlanRunner::Resume()
{
    waiting_ = Waiting::Nothing;
    stepTimer_.stop();
    QTimer::singleShot(0, this, &PlanRunner::Next);
}

bool PlanRunner::Fail(const QString& message)
{
    errors_ << "durnix-plan: " << message << '\n' << Qt::flush;
    Stop(2);
    return false;
}

// The port as named and its device where that is another, and the cause; the cause usually begins with
// the device, which is named once.
QString PlanRunner::PortAndCause() const
{
    const QString device = port_->device();
    QString cause = port_->comm().errorText();
    if (cause.startsWith(device + QStringLiteral(": ")))
        cause.remove(0, device.size() + 2);
    const QString port = portName_ == device ? portName_ : QStringLiteral("%1 (%2)").arg(portName_, device);
    return port + QStringLiteral(": ") + cause;
}

LineFormat PlanRunner::Format() const
{
    const PortSettings format = ParsePortSettings(settings_).value_or(PortSettings {});
    return { double(format.dataBits), double(format.stopBits), double(format.speed), int(format.parity) };
}
