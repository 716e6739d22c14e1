#include "command/framing.h"
#include "log/answer_tracker.h"
#include "log/log_format.h"
#include "row_names.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace
{

TEST(LogFormat, ARecordIsOneTabSeparatedUtf8Line)
{
    const QDateTime morning(QDate(2026, 12, 7), QTime(9, 41, 2, 120));
    const std::pair<LogRecord, const char*> cases[] = {
        // The hex has no trailing space; a record without a time leaves its column empty.
        { { morning, "TX", "\x81\x44\x03\x6F", "D", {} }, "2026-12-07T09:41:02.120\tTX\t81 44 03 6F\tD\t\n" },
        // The ms have one decimal.
        { { morning, "RX", "\x06", "<>", 12.35 }, "2026-12-07T09:41:02.120\tRX\t06\t<>\t12.3\n" },
        // Tabs and line breaks are escaped, other characters are UTF-8.
        { { morning, "TX", {}, QString::fromUtf8("a\tb\nc\r\xC3\x84"), {} },
            "2026-12-07T09:41:02.120\tTX\t\ta<9>b<10>c<13>\xC3\x84\t\n" },
    };
    for (const auto& [record, line] : cases)
        EXPECT_EQ(FormatLogRecord(record), QByteArray(line));
}

TEST(RunStatistics, SummaryCountsEverySendAndAnswer)
{
    // 'S' a send; 'C' a complete answer of the next time; 'E' one with a check error; 'N' a NAK; 'I' an
    // incomplete one. The answer before the first send is not the run's.
    const char* const steps = "CSCSESNSISSIC";
    const double times[] = { 5, 10, 20, 30.06, 4 };
    RunStatistics run;
    const double* ms = times;
    for (const char* step = steps; *step; ++step) {
        if (*step == 'S')
            run.Sent();
        else if (*step == 'I')
            run.Answered({});
        else
            run.Answered({ true, *step == 'E', *step == 'N', *ms++ });
    }
    // Times are kept to a tenth, rounded (30.06 is 30.1); the percentiles are the nearest rank.
    EXPECT_EQ(run.Summary(),
        "sends=6 complete=4 bccerr=1 nak=1 incomplete=1 unanswered=1 min=4.0 median=10.0 p99=30.1 max=30.1");
}

// At `ms`: 'S' a send; 'R' a chunk `hex` shown as `shown`, `completes` the answer or not; 'Q' the line falls
// quiet.
struct Event {
    char kind;
    double ms;
    const char* hex = "";
    const char* shown = "";
    bool completes = false;
};

struct TrackCase {
    const char* name;
    int protocol;
    std::vector<Event> events;
    QStringList records; // "hex|shown|ms", ms "-" without a send and "incomplete" for an answer without end
    DURNIX_PRINTS_ITS_NAME(TrackCase)
};

using Tracker = ::testing::TestWithParam<TrackCase>;

TEST_P(Tracker, RecordsEachAnswerWhenItIsDue)
{
    AnswerTracker tracker;
    QStringList records;
    const auto keep = [&](const auto& answers) {
        for (const LoggedAnswer& a : answers)
            records << LogHex(a.bytes) + '|' + a.shown + '|'
                    + (!a.outcome.complete ? QString("incomplete")
                            : a.outcome.ms ? LogMs(*a.outcome.ms)
                                           : "-");
    };
    const auto some = [](const std::optional<LoggedAnswer>& a) { return a ? std::vector { *a } : std::vector<LoggedAnswer> {}; };
    for (const Event& e : GetParam().events) {
        const auto ns = qint64(e.ms * 1e6);
        if (e.kind == 'S')
            keep(some(tracker.Sent(ns)));
        else if (e.kind == 'R')
            keep(tracker.Received(QByteArray::fromHex(e.hex), e.completes, GetParam().protocol, e.shown, ns));
        else
            keep(some(tracker.Finish()));
    }
    EXPECT_EQ(records, GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(AnswerTracker, Tracker,
    ::testing::Values(TrackCase { "VxbIsDueWhenComplete", VxbWithBcc,
                          { { 'S', 1 }, { 'R', 3, "0631", "1" }, { 'R', 13.25, "3203 06", "12", true } },
                          { "06 31 32 03 06|12|12.3" } },
        TrackCase { "VxbWithoutEndIsIncompleteAtTheNextSend", VxbWithBcc,
            { { 'S', 0 }, { 'R', 5, "063132", "12" }, { 'S', 20 } }, { "06 31 32|12|incomplete" } },
        TrackCase { "AsIsRunsToItsLastByteBeforeTheQuiet", AsIs,
            { { 'S', 0 }, { 'R', 2, "41", "A", true }, { 'R', 4.5, "42", "AB" }, { 'Q', 60 } },
            { "41 42|AB|4.5" } },
        TrackCase { "BytesBeforeAnySendHaveNoTime", AsciiCrlf, { { 'R', 2, "41", "A", true }, { 'Q', 60 } },
            { "41|A|-" } },
        TrackCase { "BytesAfterACompleteAnswerAreAnIncompleteRecord", VxbWithBcc,
            { { 'S', 0 }, { 'R', 1, "060305", "<>", true }, { 'R', 2, "00", "<>" }, { 'S', 5 } },
            { "06 03 05|<>|1.0", "00|<>|incomplete" } }),
    ByName);

// However the bytes come, in small chunks or in one of a megabyte, no record holds more than the limit,
// nothing is lost, and each record closed at the limit says so.
TEST(AnswerTracker, AnEndlessStreamIsRecordedInBoundedPiecesWhateverItsChunks)
{
    constexpr qsizetype kStream = 1 << 20;
    for (const qsizetype chunk : { qsizetype(4096), qsizetype(4000), kStream }) {
        AnswerTracker tracker;
        tracker.Sent(0);
        std::vector<LoggedAnswer> records;
        for (qsizetype sent = 0; sent < kStream; sent += chunk)
            std::ranges::copy(
                tracker.Received(QByteArray(std::min(chunk, kStream - sent), 'A'), false, AsIs, "A", 1),
                std::back_inserter(records));
        ASSERT_EQ(records.size(), size_t(kStream / kLoggedAnswerLimit)) << chunk;
        for (const LoggedAnswer& record : records)
            EXPECT_TRUE(record.bytes.size() == kLoggedAnswerLimit && record.cut) << chunk;
    }
}

} // namespace
