// The log of a real window on a real port, answered by the virtual instrument.
#include "instrument_process.h"
#include "live_window.h"

#include "app/display_label.h"
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

// The instrument with `options`, the window on it with a log running in the instrument's folder.
struct LoggedRig {
    explicit LoggedRig(const QStringList& options)
        : started(instrument.Start(options))
    {
    }
    bool Ready() { return started && f.MSComm1.portOpen() && f.StartLog(LogPath()); }
    QString LogPath() const { return instrument.Folder() + "/line.log"; }
    // The records after the header, with the log stopped so that all are written; each without its time.
    QStringList Records()
    {
        f.StopLog();
        QFile file(LogPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList records;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n').mid(1))
            if (!line.isEmpty())
                records << line.section('\t', 1);
        return records;
    }

    InstrumentProcess instrument;
    bool started;
    LiveWindow window { Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder() };
    DurnixForm& f = window.Form();
};

double Ms(const QString& record)
{
    return record.section('\t', 3).toDouble();
}

struct SendCase {
    const char* name;
    QStringList options;
    QString rxText; // empty: no answer at all
    double atLeastMs;
};

using LoggedSend = ::testing::TestWithParam<SendCase>;

TEST_P(LoggedSend, RecordsThePacketAndTheAnswerWithItsTime)
{
    const SendCase& c = GetParam();
    LoggedRig r(c.options);
    ASSERT_TRUE(r.Ready()) << r.instrument.Errors().constData() << r.window.portFailures.join(' ').toStdString();
    r.window.Prepare(VxbWithBcc, "ID?");
    r.f.CommandSend->click();
    if (!c.rxText.isEmpty()) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return r.f.ResponseState == 2; }, 5000));
    }
    // Stopped, the instrument has answered all it ever will.
    r.instrument.Stop();
    const QStringList records = r.Records();
    ASSERT_GE(records.size(), 2) << records.join('\n').toStdString();
    EXPECT_TRUE(records[0].startsWith("PORT\t\topen COM1 " + r.instrument.LinkPath() + " 4800,N,8,1"))
        << records[0].toStdString();
    EXPECT_EQ(records[1], "TX\t80 49 44 3F 03 31\tID?\t");
    const QStringList answers = records.filter(QRegularExpression("^RX\t"));
    if (c.rxText.isEmpty()) {
        EXPECT_TRUE(answers.isEmpty()) << answers.join('\n').toStdString();
        return;
    }
    ASSERT_EQ(answers.size(), 1) << records.join('\n').toStdString();
    EXPECT_EQ(answers[0].section('\t', 2, 2), c.rxText);
    EXPECT_GE(Ms(answers[0]), c.atLeastMs) << answers[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Instrument, LoggedSend,
    ::testing::Values(SendCase { "GoodAnswerAfterTheDelay", { "--delay", "40" }, kIdentity, 40 },
        SendCase { "CheckError", { "--bad-check" }, kIdentity + "<BCCERR>", 0 },
        SendCase { "NoAnswer", { "--silent" }, {}, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoggedRepeat, WfrRunRecordsEveryCycleAndOneSummary)
{
    LoggedRig r({ "--delay", "15" });
    ASSERT_TRUE(r.Ready()) << r.instrument.Errors().constData();
    r.window.Prepare(VxbWithBcc, "ID?");
    r.f.TextRepeat->setText("0.001");
    r.f.TextCount->setText("20");
    SetVbValue(r.f.CheckWaitForResponse, 1);
    SetVbValue(r.f.CheckRepeat, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !IsSet(r.f.CheckRepeat) && r.f.ResponseState == 2; }, 10000));
    const QStringList records = r.Records();
    EXPECT_EQ(records.filter(QRegularExpression("^TX\t")).size(), 20);
    const QStringList answers = records.filter(QRegularExpression("^RX\t"));
    ASSERT_EQ(answers.size(), 20);
    for (const QString& answer : answers)
        EXPECT_GE(Ms(answer), 15) << answer.toStdString();
    const QStringList runs = records.filter(QRegularExpression("^RUN\t"));
    ASSERT_EQ(runs.size(), 1);
    EXPECT_TRUE(runs[0].startsWith("RUN\t\tsends=20 complete=20 bccerr=0 nak=0 incomplete=0 unanswered=0 min="))
        << runs[0].toStdString();
    EXPECT_EQ(records.last(), runs[0]) << "the summary follows the run's last answer";
}

} // namespace
