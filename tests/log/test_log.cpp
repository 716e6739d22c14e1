#include "command/framing.h"
#include "command/rts_interval.h"
#include "log/answer_tracker.h"
#include "log/log_format.h"
#include "row_names.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <limits>

namespace
{

TEST(LogFormat, ARecordIsOneTabSeparatedUtf8Line)
{
    const QDateTime morning(QDate(2026, 12, 7), QTime(9, 41, 2, 120));
    const std::pair<LogRecord, const char*> cases[] = {
        // The hex has no trailing space; a record without times leaves their columns empty.
        { { morning, "TX", "\x81\x44\x03\x6F", "D", {}, {} },
            "2026-12-07T09:41:02.120\tTX\t81 44 03 6F\tD\t\t\n" },
        // The ms and the turnaround have one decimal.
        { { morning, "RX", "\x06", "<>", 12.35, 0.04 }, "2026-12-07T09:41:02.120\tRX\t06\t<>\t12.3\t0.0\n" },
        // Tabs and line breaks are escaped, other characters are UTF-8.
        { { morning, "TX", {}, QString::fromUtf8("a\tb\nc\r\xC3\x84"), {}, {} },
            "2026-12-07T09:41:02.120\tTX\t\ta<9>b<10>c<13>\xC3\x84\t\t\n" },
    };
    for (const auto& [record, line] : cases)
        EXPECT_EQ(FormatLogRecord(record), QByteArray(line));
}

TEST(RunStatistics, SummaryCountsEverySendAndAnswer)
{
    // 'S' a send; 'C' a complete answer of the next time; 'E' one with a check error; 'N' a NAK; 'I' an
    // incomplete one. The answer before the first send is not the run's.
    const char* const steps = "CSCSESNSISSIC";
    const std::pair<double, double> times[]
        = { { 5, 9 }, { 10, 1 }, { 20, 2.04 }, { 30.06, 0.05 }, { 4, 3 } };
    RunStatistics run;
    const auto* ms = times;
    for (const char* step = steps; *step; ++step) {
        if (*step == 'S')
            run.Sent();
        else if (*step == 'I')
            run.Answered({});
        else {
            run.Answered({ true, *step == 'E', *step == 'N', ms->first, ms->second });
            ++ms;
        }
    }
    // Times are kept to a tenth, rounded (30.06 is 30.1); the percentiles are the nearest rank. The
    // turnarounds have figures of their own.
    EXPECT_EQ(run.Summary(),
        "sends=6 complete=4 bccerr=1 nak=1 incomplete=1 unanswered=1 min=4.0 median=10.0 p99=30.1 max=30.1 "
        "turn_min=0.1 turn_median=1.0 turn_p99=3.0 turn_max=3.0");
}

// At `ms`: 'S' a send of a packet that takes the case's lineMs on the line; 'R' a chunk `hex` shown as
// `shown`, `completes` the answer or not; 'Q' the line falls quiet.
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
    double lineMs;
    std::vector<Event> events;
    // "hex|shown|ms|turn", the times "-" without a send and "incomplete" for an answer without end
    QStringList records;
    DURNIX_PRINTS_ITS_NAME(TrackCase)
};

using Tracker = ::testing::TestWithParam<TrackCase>;

TEST_P(Tracker, RecordsEachAnswerWhenItIsDue)
{
    AnswerTracker tracker;
    QStringList records;
    const auto time = [](const std::optional<double>& ms) { return ms ? LogMs(*ms) : "-"; };
    const auto keep = [&](const auto& answers) {
        for (const LoggedAnswer& a : answers)
            records << LogHex(a.bytes) + '|' + a.shown + '|'
                    + (a.outcome.complete ? time(a.outcome.ms) + '|' + time(a.outcome.turn) : "incomplete");
    };
    const auto some = [](const std::optional<LoggedAnswer>& a) {
        return a ? std::vector { *a } : std::vector<LoggedAnswer> {};
    };
    for (const Event& e : GetParam().events) {
        const auto ns = qint64(e.ms * 1e6);
        if (e.kind == 'S')
            keep(some(tracker.Sent(ns, GetParam().lineMs)));
        else if (e.kind == 'R')
            keep(tracker.Received(QByteArray::fromHex(e.hex), e.completes, GetParam().protocol, e.shown, ns));
        else
            keep(some(tracker.Finish()));
    }
    EXPECT_EQ(records, GetParam().records);
}

// The times run from the end of the packet on the line, the turnaround to the answer's first chunk; a
// pseudo-terminal has no line time.
INSTANTIATE_TEST_SUITE_P(AnswerTracker, Tracker,
    ::testing::Values(TrackCase { "VxbIsDueWhenComplete", VxbWithBcc, 0,
                          { { 'S', 1 }, { 'R', 3, "0631", "1" }, { 'R', 13.25, "3203 06", "12", true } },
                          { "06 31 32 03 06|12|12.3|2.0" } },
        TrackCase { "TimesStartWhenThePacketHasLeftTheLine", VxbWithBcc, 13.54,
            { { 'S', 1 }, { 'R', 16, "0631", "1" }, { 'R', 30, "3203 06", "12", true } },
            { "06 31 32 03 06|12|15.5|1.5" } },
        TrackCase { "AnAnswerBeforeOurLastByteIsAtZero", AsIs, 10,
            { { 'S', 0 }, { 'R', 4, "41", "A", true }, { 'R', 8, "42", "AB" }, { 'Q', 60 } },
            { "41 42|AB|0.0|0.0" } },
        TrackCase { "VxbWithoutEndIsIncompleteAtTheNextSend", VxbWithBcc, 0,
            { { 'S', 0 }, { 'R', 5, "063132", "12" }, { 'S', 20 } }, { "06 31 32|12|incomplete" } },
        TrackCase { "AsIsRunsToItsLastByteBeforeTheQuiet", AsIs, 1,
            { { 'S', 0 }, { 'R', 3, "41", "A", true }, { 'R', 5.5, "42", "AB" }, { 'Q', 60 },
                { 'R', 71, "43", "C" }, { 'Q', 130 } },
            { "41 42|AB|4.5|2.0", "43|C|70.0|70.0" } },
        TrackCase { "BytesBeforeAnySendHaveNoTime", AsciiCrlf, 0,
            { { 'R', 2, "41", "A", true }, { 'Q', 60 } }, { "41|A|-|-" } },
        TrackCase { "BytesAfterACompleteAnswerAreAnIncompleteRecord", VxbWithBcc, 0,
            { { 'S', 0 }, { 'R', 1, "060305", "<>", true }, { 'R', 2, "00", "<>" }, { 'S', 5 } },
            { "06 03 05|<>|1.0|1.0", "00|<>|incomplete" } }),
    ByName);

// A packet's time on the line: per byte a start bit, the data bits, a parity bit unless there is none, the
// stop bits. Any parity entry but the first counts one bit; none selected takes one off.
TEST(PacketLineMs, CountsEveryBitOfEveryByteAtTheBaudRate)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<qsizetype, double, int, double, double, double> cases[]
        = { { 13, 8, 0, 1, 9600, 13.5417 }, { 20, 8, 0, 1, 9600, 20.8333 }, { 13, 7, 2, 2, 9600, 14.8958 },
              { 1, 8, 0, 1, 115200, 0.0868 }, { 100, 8, 1, 1.5, 300, 3833.3333 }, { 10, 8, -1, 1, 1000, 90 },
              { 0, 8, 0, 1, 9600, 0 }, { 13, 8, 0, 1, 0, 0 }, { 13, NaN, 0, 1, 9600, 0 },
              { -5, 8, 0, 1, 9600, 0 } };
    for (const auto& [bytes, dataBits, parity, stopBits, baud, ms] : cases)
        EXPECT_NEAR(PacketLineMs(bytes, dataBits, parity, stopBits, baud), ms, 1e-4)
            << bytes << " at " << baud;
}

// However the bytes come, in small chunks or in one of a megabyte, no record holds more than the limit,
// nothing is lost, and each record closed at the limit says so.
TEST(AnswerTracker, AnEndlessStreamIsRecordedInBoundedPiecesWhateverItsChunks)
{
    constexpr qsizetype kStream = 1 << 20;
    for (const qsizetype chunk : { qsizetype(4096), qsizetype(4000), kStream }) {
        AnswerTracker tracker;
        tracker.Sent(0, 0);
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
