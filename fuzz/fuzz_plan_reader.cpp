// The plan reader on any bytes: either a mistake on a line of the file (or the line after the last),
// in a short message, or a plan whose steps stand on the file's lines in order, hold only what the
// runner may take without checking again, and nest no deeper than the reader allows.
#include "fuzz_check.h"
#include "plan/plan.h"
#include "plan/plan_values.h"

#include <QRegularExpression>

namespace
{

using Kind = PlanStep::Kind;

struct Walk {
    int lines = 0; // lines in the file
    int lastLine = 0; // of the step before
    bool sent = false;
};

void CheckStep(const PlanStep& step, Walk& walk)
{
    FUZZ_CHECK(step.line > walk.lastLine && step.line <= walk.lines);
    walk.lastLine = step.line;
    FUZZ_CHECK(!step.IsCheck() || walk.sent);
    walk.sent = walk.sent || step.kind == Kind::Send;
    FUZZ_CHECK(step.body.empty() || step.kind == Kind::Repeat);
    if (step.kind == Kind::Send || step.kind == Kind::Port || step.kind == Kind::Settings)
        FUZZ_CHECK(!step.text.isEmpty());
    if (step.kind == Kind::Protocol)
        FUZZ_CHECK(step.number >= 0 && step.number <= 7);
    if (step.kind == Kind::Timeout || step.kind == Kind::Quiet || step.kind == Kind::Wait)
        FUZZ_CHECK(step.number >= 0 && step.number <= kLongestPlanTime);
    if (step.kind == Kind::Repeat)
        FUZZ_CHECK(step.number >= 0 && step.number <= kMostPlanRepeats);
    if (step.kind == Kind::Match)
        FUZZ_CHECK(QRegularExpression(step.text).isValid());
    FUZZ_CHECK(step.kind != Kind::ExpectHex || !step.bytes.isEmpty());
}

void CheckSteps(const std::vector<PlanStep>& steps, Walk& walk, int depth)
{
    FUZZ_CHECK(depth <= 100);
    for (const PlanStep& step : steps) {
        CheckStep(step, walk);
        CheckSteps(step.body, walk, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Walk walk;
    walk.lines = int(bytes.count('\n')) + 1;
    const auto read = ReadPlan(bytes);
    if (const auto* mistake = std::get_if<PlanMistake>(&read)) {
        FUZZ_CHECK(mistake->line >= 1 && mistake->line <= walk.lines + 1);
        FUZZ_CHECK(!mistake->message.isEmpty() && mistake->message.size() <= 200);
    } else {
        CheckSteps(std::get<Plan>(read).steps, walk, 0);
    }
    return 0;
}
