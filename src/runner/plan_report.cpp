#include "runner/plan_report.h"

#include "log/log_format.h"

#include <algorithm>

namespace
{

QString Label(bool passed, int line)
{
    return QString::fromLatin1(passed ? "ok" : "FAIL").leftJustified(6) + QString::number(line);
}

QString CheckLine(const PlanStep& check, const PlanAnswer& answer, const CheckVerdict& verdict)
{
    QString line = Label(verdict.passed, check.line) + QStringLiteral("  send ") + answer.command
        + QStringLiteral("  ->  ");
    if (answer.complete)
        line += answer.text + QStringLiteral("  ");
    if (!verdict.passed)
        return line + verdict.reason;
    if (check.kind == PlanStep::Kind::ExpectNone)
        return line + QStringLiteral("no answer");
    return line + (answer.ms ? QStringLiteral("(%1 ms)").arg(LogMs(*answer.ms)) : QString()).trimmed();
}

QString Times(const AnswerTimes& times)
{
    const auto ms = [](std::optional<double> value) { return value ? LogMs(*value) : QStringLiteral("-"); };
    return QStringLiteral("(min %1, median %2, p99 %3, max %4 ms)")
        .arg(ms(times.Min()), ms(times.Percentile(0.5)), ms(times.Percentile(0.99)), ms(times.Max()));
}

} // namespace

PlanReport::PlanReport(QTextStream& out, bool quiet, bool progress, qsizetype listedChecks)
    : out_(out)
    , quiet_(quiet)
    , progress_(progress)
    , listedChecks_(listedChecks)
{
}

void PlanReport::Check(
    const PlanStep& check, const PlanAnswer& answer, const CheckVerdict& verdict, bool repeated)
{
    const QString line = CheckLine(check, answer, verdict);
    Keep({ QStringLiteral("line %1: %2").arg(check.line).arg(CheckText(check)), verdict.passed,
             verdict.passed ? QString() : line, answer.ms.value_or(0) / 1000.0 },
        check.line);
    if (!verdict.passed || (!repeated && !quiet_))
        Print(line);
    if (!repeated)
        return;
    Tally& tally = tallies_[check.line];
    tally.step = CheckText(check);
    (verdict.passed ? tally.passed : tally.failed) += 1;
    if (answer.ms)
        tally.times.Add(*answer.ms);
}

void PlanReport::Keep(const CheckResult& result, int line)
{
    (result.passed ? passed_ : failed_) += 1;
    if (qsizetype(listed_.size()) < listedChecks_) {
        listed_.push_back(result);
        return;
    }
    Unlisted& unlisted = unlisted_[line];
    unlisted.name = result.name;
    unlisted.runs += 1;
    if (!result.passed && unlisted.failed++ == 0)
        unlisted.firstFailure = result.message;
}

std::vector<CheckResult> PlanReport::Results() const
{
    std::vector<CheckResult> results = listed_;
    for (const auto& [line, unlisted] : unlisted_) {
        const QString failures = unlisted.failed == 0 ? QString()
                                                      : QStringLiteral("%1 of them failed, the first: %2")
                                                            .arg(unlisted.failed)
                                                            .arg(unlisted.firstFailure);
        results.push_back({ QStringLiteral("%1 (%2 more runs)").arg(unlisted.name).arg(unlisted.runs),
            unlisted.failed == 0, failures, 0 });
    }
    return results;
}

void PlanReport::RepeatEnded()
{
    for (const auto& [line, tally] : tallies_) {
        if (quiet_ && tally.failed == 0)
            continue;
        Print(QStringLiteral("%1  %2  %3 passed, %4 failed  %5")
                  .arg(Label(tally.failed == 0, line), tally.step)
                  .arg(tally.passed)
                  .arg(tally.failed)
                  .arg(Times(tally.times)));
    }
    tallies_.clear();
    ClearProgress();
}

// Rewritten in place some hundred times over a repeat at most; on a terminal only.
void PlanReport::Progress(qint64 done, qint64 total)
{
    if (!progress_ || done == shownPass_ || (done % std::max<qint64>(1, total / 200) != 0 && done != total))
        return;
    shownPass_ = done;
    out_ << "\rrepeat " << done << '/' << total << Qt::flush;
    progressShown_ = true;
}

void PlanReport::Summary()
{
    ClearProgress();
    out_ << passed_ << " passed, " << failed_ << " failed\n" << Qt::flush;
}

void PlanReport::Print(const QString& line)
{
    ClearProgress();
    out_ << line << '\n' << Qt::flush;
}

void PlanReport::ClearProgress()
{
    if (progressShown_)
        out_ << "\r\033[K";
    progressShown_ = false;
    shownPass_ = -1;
}
