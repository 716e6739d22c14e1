#include "command/framing.h"
#include "log/answer_tracker.h"
#include "log/log_format.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace
{

// At `ms`: 'S' a send; 'R' a chunk `hex` that shows `shown`, completing the
// answer when `completes`; 'Q' the line falls quiet (or the log closes).
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
    // Each record as "hex|shown|ms", with ms "-" for an incomplete answer.
    QStringList records;
};

QString Describe(const LoggedAnswer& answer)
{
    const QString ms = answer.outcome.ms ? LogMs(*answer.outcome.ms) : QStringLiteral("-");
    return LogHex(answer.bytes) + '|' + answer.shown + '|' + (answer.outcome.complete ? ms : "incomplete");
}

using Tracker = ::testing::TestWithParam<TrackCase>;

TEST_P(Tracker, RecordsEachAnswerWhenItIsDue)
{
    AnswerTracker tracker;
    QStringList records;
    const auto keep = [&](const std::optional<LoggedAnswer>& answer) {
        if (answer)
            records << Describe(*answer);
    };
    for (const Event& e : GetParam().events) {
        const auto ns = qint64(e.ms * 1e6);
        if (e.kind == 'S')
            keep(tracker.Sent(ns));
        else if (e.kind == 'R')
            keep(tracker.Received(QByteArray::fromHex(e.hex), e.completes, GetParam().protocol, e.shown, ns));
        else
            keep(tracker.Finish());
    }
    EXPECT_EQ(records, GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(AnswerTracker, Tracker,
    ::testing::Values(
        TrackCase { "VxbAnswerIsDueWhenComplete", VxbWithBcc,
            { { 'S', 1 }, { 'R', 3, "0631", "1" }, { 'R', 13.25, "3203 06", "12", true } },
            { "06 31 32 03 06|12|12.3" } },
        TrackCase { "VxbWithoutCheckByteIsIncompleteAtTheNextSend", VxbWithBcc,
            { { 'S', 0 }, { 'R', 5, "063132", "12" }, { 'S', 20 } }, { "06 31 32|12|incomplete" } },
        TrackCase { "NoAnswerNoRecord", VxbWithBcc, { { 'S', 0 }, { 'S', 10 }, { 'Q', 20 } }, {} },
        TrackCase { "HartIsDueAtItsLastByte", Hart,
            { { 'S', 0 }, { 'R', 7, "FF86", "<134>" }, { 'R', 9, "0102", "<134><1><2>", true } },
            { "FF 86 01 02|<134><1><2>|9.0" } },
        TrackCase { "AsIsRunsToItsLastByteBeforeTheQuiet", AsIs,
            { { 'S', 0 }, { 'R', 2, "41", "A", true }, { 'R', 4.5, "42", "AB" }, { 'Q', 60 } },
            { "41 42|AB|4.5" } },
        TrackCase { "AsIsOpenAtTheNextSendIsComplete", ModbusRtu,
            { { 'S', 0 }, { 'R', 2, "01", "<1>", true }, { 'S', 3 } }, { "01|<1>|2.0" } },
        TrackCase { "BytesBeforeAnySendHaveNoTime", AsciiCrlf, { { 'R', 2, "41", "A", true }, { 'Q', 60 } },
            { "41|A|-" } },
        TrackCase { "BytesAfterACompleteAnswerAreAnIncompleteRecord", VxbWithBcc,
            { { 'S', 0 }, { 'R', 1, "060305", "<>", true }, { 'R', 2, "00", "<>" }, { 'S', 5 } },
            { "06 03 05|<>|1.0", "00|<>|incomplete" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerTracker, CheckErrorAndNakAreCountedForVxbOnly)
{
    AnswerTracker tracker;
    tracker.Sent(0);
    const auto bad = tracker.Received("x", true, VxbWithBcc, "<NAK>1<BCCERR>", 1);
    ASSERT_TRUE(bad);
    EXPECT_TRUE(bad->outcome.checkError && bad->outcome.nak);
    tracker.Sent(2);
    tracker.Received("x", true, AsIs, "<NAK>1<BCCERR>", 3);
    const auto shown = tracker.Finish();
    ASSERT_TRUE(shown);
    EXPECT_FALSE(shown->outcome.checkError || shown->outcome.nak);
}

TEST(AnswerTracker, AnEndlessStreamIsRecordedInBoundedPieces)
{
    AnswerTracker tracker;
    tracker.Sent(0);
    const QByteArray chunk(4096, 'A');
    int records = 0;
    for (int i = 0; i < 100; ++i)
        if (const auto answer = tracker.Received(chunk, i == 0, AsIs, "A", i)) {
            EXPECT_LE(answer->bytes.size(), kLoggedAnswerLimit + chunk.size());
            ++records;
        }
    EXPECT_EQ(records, 100 * chunk.size() / kLoggedAnswerLimit);
}

} // namespace
