#pragma once

#include "log/answer_times.h"
#include "runner/plan_answer.h"

#include <QString>
#include <QTextStream>
#include <map>
#include <vector>

// How many checks the JUnit file lists one by one. The checks after them are listed as one case per
// plan line with their counts, so that a repeat of millions costs no more memory than this many.
inline constexpr qsizetype kListedChecks = 100000;

// One check as it was executed, for the JUnit file.
struct CheckResult {
    QString name; // its line and step
    bool passed = false;
    QString message; // the line printed for a failure
    double seconds = 0; // the answer time
};

// What a plan's run prints: a line per check (inside a repeat only failures, then the counts of each
// check when the repeat ends), the progress of a long repeat, and the summary.
class PlanReport
{
public:
    PlanReport(QTextStream& out, bool quiet, bool progress, qsizetype listedChecks = kListedChecks);

    // A check has been judged; `repeated` when it runs inside a repeat.
    void Check(const PlanStep& check, const PlanAnswer& answer, const CheckVerdict& verdict, bool repeated);
    // The outermost repeat has run `done` of its `total` passes.
    void Progress(qint64 done, qint64 total);
    // The outermost repeat has ended: a line for each check that ran inside it.
    void RepeatEnded();
    // "N passed, M failed".
    void Summary();

    // The checks as the JUnit file lists them: each one up to the listed number, then one per plan line.
    std::vector<CheckResult> Results() const;
    qint64 Failed() const { return failed_; }

private:
    struct Tally {
        QString step;
        qint64 passed = 0, failed = 0;
        AnswerTimes times;
    };
    struct Unlisted {
        QString name;
        qint64 runs = 0, failed = 0;
        QString firstFailure;
    };
    void Keep(const CheckResult& result, int line);
    void Print(const QString& line);
    void ClearProgress();

    QTextStream& out_;
    bool quiet_;
    bool progress_;
    bool progressShown_ = false;
    qint64 shownPass_ = -1;
    qsizetype listedChecks_;
    std::vector<CheckResult> listed_;
    std::map<int, Unlisted> unlisted_; // by plan line
    qint64 passed_ = 0, failed_ = 0;
    std::map<int, Tally> tallies_; // by plan line
};
