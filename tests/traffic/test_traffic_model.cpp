// The kept records of the traffic window: the bound, the batches, the figures and the decoded column.
#include "command/framing.h"
#include "decode/modbus_answer.h"
#include "log/traffic_log.h"
#include "row_names.h"
#include "traffic/traffic_model.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

TrafficRecord Record(const char* event, const QString& text = {}, std::optional<AnswerOutcome> outcome = {},
    int protocol = VxbWithBcc, const QByteArray& bytes = "\x06\x31")
{
    return { { QDateTime(QDate(2026, 12, 8), QTime(9, 0)), event, bytes, text, {}, {} }, outcome, protocol };
}

QStringList Column(const TrafficModel& model, int column)
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.index(row, column).data().toString();
    return shown;
}

bool Flushed(TrafficModel& model)
{
    QSignalSpy batch(&model, &TrafficModel::changed);
    return batch.wait(2000);
}

struct BoundCase {
    const char* name;
    int kept;
    qint64 keptBytes; // each record has 2 bytes and a text of 1 character
    QList<int> batches; // records added before each batch, numbered on from 1
    QStringList texts; // the rows kept
    qint64 dropped;
    DURNIX_PRINTS_ITS_NAME(BoundCase)
};

using Bound = ::testing::TestWithParam<BoundCase>;

TEST_P(Bound, KeepsTheNewestRowsAndCountsTheDropped)
{
    TrafficModel model(GetParam().kept, GetParam().keptBytes);
    int number = 0;
    for (const int count : GetParam().batches) {
        for (int i = 0; i < count; ++i)
            model.Add(Record("LINE", QString::number(++number)));
        ASSERT_TRUE(Flushed(model));
    }
    EXPECT_EQ(Column(model, TrafficModel::TextColumn), GetParam().texts);
    EXPECT_EQ(model.Dropped(), GetParam().dropped);
}

INSTANTIATE_TEST_SUITE_P(TrafficModel, Bound,
    ::testing::Values(BoundCase { "UnderTheBound", 3, 12, { 2, 1 }, { "1", "2", "3" }, 0 },
        BoundCase { "OverItAcrossBatches", 3, 100, { 2, 3 }, { "3", "4", "5" }, 2 },
        BoundCase { "OverItInOneBatch", 3, 100, { 2, 5 }, { "5", "6", "7" }, 4 },
        BoundCase { "OverTheBytes", 10, 9, { 2, 3 }, { "4", "5" }, 3 }),
    ByName);

// Records added at a fast pace reach the table together, in a few insertions a second at most.
TEST(TrafficModel, AddsRowsInBatches)
{
    TrafficModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QElapsedTimer clock;
    clock.start();
    QTimer fast;
    QObject::connect(&fast, &QTimer::timeout, [&] { model.Add(Record("TX")); });
    fast.start(2);
    model.Add(Record("TX"));
    EXPECT_EQ(model.rowCount(), 0) << "a record waits for its batch";
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() >= 150; }, 5000));
    fast.stop();
    EXPECT_LE(inserted.count(), clock.elapsed() / TrafficModel::kBatchMs + 1);
}

// The run's figures are those of the log's RUN record for the same line, and those since the port
// opened take in the sends before the run.
TEST(TrafficModel, CountsAsTheRunRecord)
{
    TrafficLog log;
    TrafficModel model;
    QStringList runs;
    QObject::connect(&log, &TrafficLog::recorded, [&](const TrafficRecord& record) {
        model.Add(record);
        if (record.record.event == "RUN")
            runs << record.record.text;
    });
    const auto send = [&] { log.Sent("\x01", "ID?", 1); };
    const auto answer = [&](const char* hex, const char* shown) {
        log.Received(QByteArray::fromHex(hex), true, VxbWithBcc, shown);
    };
    log.Port("open COM1 /dev/pts/9 9600,N,8,1");
    send();
    answer("0631", "1");
    log.RepeatSwitched(true);
    model.RepeatSwitched(true);
    const std::pair<const char*, const char*> answers[]
        = { { "06313203", "12" }, { "15", "<NAK>" }, { "0632", "2<BCCERR>" }, {}, { "0633", "3" } };
    for (const auto& [hex, shown] : answers) {
        send();
        if (hex)
            answer(hex, shown);
    }
    log.RepeatSwitched(false);
    model.RepeatSwitched(false);
    send(); // after the run
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(model.Counts().Run().Summary(), runs[0]);
    EXPECT_EQ(SummaryFigures(model.Counts().SincePort().Summary()).value("sends"), "7");
    EXPECT_EQ(model.Counts().RunTimes().size(), std::size_t(4)) << "the complete answers of the run";
}

struct DecodedCase {
    const char* name;
    std::vector<TrafficRecord> records;
    QStringList decoded; // with a '!' after a row that stands out
    DURNIX_PRINTS_ITS_NAME(DecodedCase)
};

using Decoded = ::testing::TestWithParam<DecodedCase>;

TEST_P(Decoded, GivesTheVerdictAndMarksWhatWentWrong)
{
    TrafficModel model;
    for (const TrafficRecord& record : GetParam().records)
        model.Add(record);
    ASSERT_TRUE(Flushed(model));
    QStringList decoded = Column(model, TrafficModel::DecodedColumn);
    for (int row = 0; row < model.rowCount(); ++row)
        decoded[row] += model.index(row, 0).data(TrafficModel::StandsOutRole).toBool() ? "!" : "";
    EXPECT_EQ(decoded, GetParam().decoded);
}

const AnswerOutcome kComplete { true, false, false, 3.0, 1.0 };
const AnswerOutcome kCheckError { true, true, false, 3.0, 1.0 };
const AnswerOutcome kNak { true, false, true, 3.0, 1.0 };

INSTANTIATE_TEST_SUITE_P(TrafficModel, Decoded,
    ::testing::Values(DecodedCase { "VxbVerdicts",
                          { Record("RX", "", kComplete), Record("RX", "", kCheckError, VxbWrongBcc),
                              Record("RX", "", kNak, VxbNoBcc), Record("RX", "", AnswerOutcome {}) },
                          { "BCC ok", "BCC error!", "NAK!", "incomplete!" } },
        DecodedCase { "ModbusAnswersReadInWords",
            { Record("RX", "", kComplete, ModbusRtu, QByteArray::fromHex("010302000A3843")),
                Record("RX", "", kComplete, ModbusRtu, QByteArray::fromHex("018302C0F1")) },
            { DecodeModbusAnswer(QByteArray::fromHex("010302000A3843")).text,
                DecodeModbusAnswer(QByteArray::fromHex("018302C0F1")).text + "!" } },
        DecodedCase { "OtherFramingsLeaveItEmpty",
            { Record("RX", "", kComplete, AsciiCrlf), Record("RX", "", kComplete, VxbRavo),
                Record("RX", "", kComplete, Hart) },
            { "", "", "" } },
        DecodedCase { "ASendWithoutAnswerBeforeTheNext",
            { Record("TX"), Record("TX"), Record("RX", "", kComplete), Record("TX"), Record("LINE"),
                Record("TX") },
            { "no answer!", "", "BCC ok", "no answer!", "", "" } }),
    ByName);

// Find looks in the text and the hex, from the row after the given one and round again.
TEST(TrafficModel, FindsTheNextRowInTextOrHex)
{
    TrafficModel model;
    for (const char* text : { "ID?", "ok", "id?", "other" })
        model.Add(Record("TX", text));
    ASSERT_TRUE(Flushed(model));
    const std::tuple<QString, int, std::optional<int>> cases[]
        = { { "id?", -1, 0 }, { "id?", 0, 2 }, { "id?", 2, 0 }, { "06 31", 1, 2 }, { "none", 0, {} } };
    for (const auto& [text, after, found] : cases)
        EXPECT_EQ(model.Find(text, after), found) << text.toStdString() << " after " << after;
}

} // namespace
