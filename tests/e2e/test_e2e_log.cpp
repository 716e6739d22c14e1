// The log of a real window on a real port, answered by the virtual instrument.
#include "instrument_process.h"
#include "live_window.h"

#include "app/vb_controls.h"
#include "command/framing.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

const QString kIdentity
    = QStringLiteral("durnix-instrument %1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR);

// The instrument with `options`, and the window on it with a log running in the instrument's folder.
struct LoggedRig {
    explicit LoggedRig(const QStringList& options)
        : started(instrument.Start(options))
    {
    }
    bool Ready() { return started && f.MSComm1.portOpen() && f.StartLog(instrument.Folder() + "/line.log"); }
    // The records of `event` with the log stopped, so that all are written; each without its time.
    QStringList Records(const QString& event)
    {
        f.StopLog();
        QFile file(instrument.Folder() + "/line.log");
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList records;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
            if (line.section('\t', 1, 1) == event)
                records << line.section('\t', 2);
        return records;
    }

    InstrumentProcess instrument;
    bool started;
    LiveWindow window { Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder() };
    DurnixForm& f = window.Form();
};

struct SendCase {
    const char* name;
    QStringList options;
    int protocol;
    QString packet;
    QString answer; // as recorded; empty: no record at all
    double atLeastMs;
};

using LoggedSend = ::testing::TestWithParam<SendCase>;

TEST_P(LoggedSend, RecordsThePacketAndTheAnswerWithItsTime)
{
    const SendCase& c = GetParam();
    LoggedRig r(c.options);
    ASSERT_TRUE(r.Ready()) << r.instrument.Errors().constData()
                           << r.window.portFailures.join(' ').toStdString();
    r.window.Prepare(c.protocol, "ID?");
    r.f.CommandSend->click();
    if (!c.answer.isEmpty()) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return r.f.ResponseState == 2; }, 5000));
    }
    // Once it has stopped, the instrument has answered all it ever will.
    r.instrument.Stop();
    EXPECT_EQ(r.Records("TX"), QStringList(c.packet + "\tID?\t"));
    const QStringList answers = r.Records("RX");
    if (c.answer.isEmpty()) {
        EXPECT_TRUE(answers.isEmpty()) << answers.join('\n').toStdString();
        return;
    }
    ASSERT_EQ(answers.size(), 1);
    EXPECT_EQ(answers[0].section('\t', 1, 1), c.answer);
    EXPECT_GE(answers[0].section('\t', 2).toDouble(), c.atLeastMs) << answers[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Instrument, LoggedSend,
    ::testing::Values(SendCase { "VxbAnswerAfterTheDelay", { "--delay", "40" }, VxbWithBcc,
                          "80 49 44 3F 03 31", kIdentity, 40 },
        SendCase {
            "VxbCheckError", { "--bad-check" }, VxbWithBcc, "80 49 44 3F 03 31", kIdentity + "<BCCERR>", 0 },
        SendCase { "NoAnswer", { "--silent" }, VxbWithBcc, "80 49 44 3F 03 31", {}, 0 },
        SendCase { "AsciiLineEndsWhenTheLineFallsQuiet", { "--delay", "20" }, AsciiCrlf, "49 44 3F 0D 0A",
            kIdentity + "<13><10>", 20 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoggedRepeat, WfrRunRecordsEveryCycleAndThenOneSummary)
{
    LoggedRig r({ "--delay", "15" });
    ASSERT_TRUE(r.Ready()) << r.instrument.Errors().constData();
    r.window.Prepare(VxbWithBcc, "ID?");
    r.f.TextRepeat->setText("0.001");
    r.f.TextCount->setText("20");
    SetVbValue(r.f.CheckWaitForResponse, 1);
    SetVbValue(r.f.CheckRepeat, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(r.f.CheckRepeat) && r.f.ResponseState == 2; }, 10000));
    EXPECT_EQ(r.Records("TX").size(), 20);
    const QStringList answers = r.Records("RX");
    ASSERT_EQ(answers.size(), 20);
    for (const QString& answer : answers)
        EXPECT_GE(answer.section('\t', 2).toDouble(), 15) << answer.toStdString();
    const QStringList runs = r.Records("RUN");
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(runs[0].startsWith("\tsends=20 complete=20 bccerr=0 nak=0 incomplete=0 unanswered=0 min="))
        << runs[0].toStdString();
}

} // namespace
