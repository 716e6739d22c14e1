#include "log/run_statistics.h"

#include <gtest/gtest.h>
#include <vector>

namespace
{

// One step of a run: 'S' a send, 'C' a complete answer (with its time), 'E' a
// complete answer with a check error, 'N' a NAK answer, 'I' an incomplete one.
struct Step {
    char kind;
    double ms = 0;
};

struct RunCase {
    const char* name;
    std::vector<Step> steps;
    const char* summary;
};

using RepeatRun = ::testing::TestWithParam<RunCase>;

TEST_P(RepeatRun, SummaryCountsEverySendAndAnswer)
{
    RunStatistics run;
    for (const Step& step : GetParam().steps) {
        if (step.kind == 'S')
            run.Sent();
        else
            run.Answered({ step.kind != 'I', step.kind == 'E', step.kind == 'N',
                step.kind == 'I' ? std::nullopt : std::optional(step.ms) });
    }
    EXPECT_EQ(run.Summary(), QString(GetParam().summary));
}

INSTANTIATE_TEST_SUITE_P(RunStatistics, RepeatRun,
    ::testing::Values(RunCase { "NoSends", {},
                          "sends=0 complete=0 bccerr=0 nak=0 incomplete=0 unanswered=0 min=- median=- p99=- max=-" },
        RunCase { "AnswerBeforeTheFirstSendIsNotTheRuns", { { 'C', 5 }, { 'S' } },
            "sends=1 complete=0 bccerr=0 nak=0 incomplete=0 unanswered=1 min=- median=- p99=- max=-" },
        RunCase { "EachKindOfAnswer",
            { { 'S' }, { 'C', 10 }, { 'S' }, { 'E', 20 }, { 'S' }, { 'N', 30 }, { 'S' }, { 'I' }, { 'S' } },
            "sends=5 complete=3 bccerr=1 nak=1 incomplete=1 unanswered=1 min=10.0 median=20.0 p99=30.0 "
            "max=30.0" },
        RunCase { "IncompleteThenCompleteCountsAsAnswered", { { 'S' }, { 'I' }, { 'C', 4 } },
            "sends=1 complete=1 bccerr=0 nak=0 incomplete=0 unanswered=0 min=4.0 median=4.0 p99=4.0 max=4.0" },
        RunCase { "MedianIsTheLowerMiddleOfAnEvenCount",
            { { 'S' }, { 'C', 4 }, { 'S' }, { 'C', 1 }, { 'S' }, { 'C', 3 }, { 'S' }, { 'C', 2 } },
            "sends=4 complete=4 bccerr=0 nak=0 incomplete=0 unanswered=0 min=1.0 median=2.0 p99=4.0 max=4.0" },
        RunCase { "TimesAreKeptToATenthOfAMillisecond", { { 'S' }, { 'C', 1.04 }, { 'S' }, { 'C', 1.06 } },
            "sends=2 complete=2 bccerr=0 nak=0 incomplete=0 unanswered=0 min=1.0 median=1.0 p99=1.1 max=1.1" }),
    [](const auto& info) { return std::string(info.param.name); });

struct PercentileCase {
    const char* name;
    int count; // times 1, 2, ..., count ms
    double p;
    double value;
};

using Percentile = ::testing::TestWithParam<PercentileCase>;

TEST_P(Percentile, IsTheNearestRank)
{
    AnswerTimes times;
    for (int i = GetParam().count; i >= 1; --i)
        times.Add(i);
    EXPECT_EQ(times.Percentile(GetParam().p), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(AnswerTimes, Percentile,
    ::testing::Values(PercentileCase { "P99Of100IsThe99th", 100, 0.99, 99 },
        PercentileCase { "P99Of1000IsThe990th", 1000, 0.99, 990 },
        PercentileCase { "P99Of10IsTheLast", 10, 0.99, 10 },
        PercentileCase { "MedianOf5IsTheThird", 5, 0.5, 3 },
        PercentileCase { "MedianOfOneIsIt", 1, 0.5, 1 }, PercentileCase { "FullIsTheMax", 7, 1.0, 7 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerTimes, ManyEqualTimesAreOneValue)
{
    AnswerTimes times;
    for (int i = 0; i < 100000; ++i)
        times.Add(i % 3 == 0 ? 2.0 : 1.0);
    EXPECT_EQ(times.Count(), 100000);
    EXPECT_EQ(times.Min(), 1.0);
    EXPECT_EQ(times.Percentile(0.5), 1.0);
    EXPECT_EQ(times.Percentile(0.99), 2.0);
}

} // namespace
