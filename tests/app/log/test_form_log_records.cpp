// What the log records of sends, answers, the line and repeat runs, on FakeComm with the log's clock
// in the test's hand.
#include "app/vb_controls.h"
#include "command/framing.h"
#include "log_harness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

void Send(DurnixForm& f, const QString& command)
{
    f.TextOutput->setEditText(command);
    f.CommandSend->click();
}

struct AnswerCase {
    const char* name;
    int protocol;
    QStringList chunks; // in hexadecimal, 10 ms apart, the first 12.5 ms after the send
    QStringList rx; // the RX records once the next send has come
};

using Answer = ::testing::TestWithParam<AnswerCase>;

TEST_P(Answer, IsRecordedWithItsBytesRenderingAndTime)
{
    const AnswerCase& c = GetParam();
    LogHarness h;
    DurnixForm& f = h.StartWithLog(h.LogPath());
    f.ComboProt->setCurrentIndex(c.protocol);
    Send(f, "Q\tR");
    h.Advance(2.5);
    for (const QString& chunk : c.chunks) {
        h.Advance(10);
        h.comm.receive(QByteArray::fromHex(chunk.toLatin1()));
    }
    Send(f, "");
    f.StopLog();
    EXPECT_EQ(h.Records("RX"), c.rx);
    const QStringList tx = h.Records("TX");
    ASSERT_EQ(tx.size(), 2);
    EXPECT_EQ(tx[0], "TX\t" + QString::fromLatin1(h.comm.writes[0].toHex(' ').toUpper()) + "\tQ<9>R\t");
}

INSTANTIATE_TEST_SUITE_P(FormLog, Answer,
    ::testing::Values(
        AnswerCase { "VxbGood", VxbWithBcc, { "063132", "0306" }, { "RX\t06 31 32 03 06\t12\t22.5" } },
        AnswerCase { "VxbCheckErrorKeepsItsMark", VxbWithBcc, { "0631320300" },
            { "RX\t06 31 32 03 00\t12<BCCERR>\t12.5" } },
        AnswerCase { "VxbNak", VxbWithBcc, { "150316" }, { "RX\t15 03 16\t<NAK>\t12.5" } },
        AnswerCase { "VxbWithoutItsEndIsMarkedIncomplete", VxbWithBcc, { "063132" },
            { "RX\t06 31 32\t12<INCOMPLETE>\t" } },
        AnswerCase { "NoAnswerNoRecord", VxbWithBcc, {}, {} },
        AnswerCase { "AsIsOnOneLineTimedToItsLastByte", AsIs, { "41420D", "0A" },
            { "RX\t41 42 0D 0A\tAB<13><10>\t22.5" } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormLog, AnAnswerOfEveryByteIsRecordedWhenTheLineFallsQuiet)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog(h.LogPath());
    f.ComboProt->setCurrentIndex(AsciiCrlf);
    Send(f, "ID?");
    h.Advance(4);
    h.comm.receive("ok\r\n");
    // The record goes out with the next flush, with the log still running.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !h.Records("RX").isEmpty(); }, 3000));
    EXPECT_EQ(h.Records("RX"), QStringList("RX\t6F 6B 0D 0A\tok<13><10>\t4.0"));
}

TEST(FormLog, LineEventsAndPortChangesAreRecordedAsTheLampsShowThem)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog(h.LogPath());
    h.comm.raise(MSComm::comEventFrame);
    h.comm.raise(MSComm::comEventRxParity);
    h.comm.cts = true;
    h.comm.raise(MSComm::comEvCTS);
    h.comm.raise(MSComm::comEvDSR);
    h.comm.raise(MSComm::comEvRing);
    h.comm.failOpen = true;
    f.ComboPort->setCurrentIndex(1);
    h.comm.error = "unplugged";
    h.comm.lose();
    f.StopLog();
    EXPECT_EQ(h.Records("LINE"),
        QStringList({ "LINE\t\tframing error\t", "LINE\t\tparity error\t", "LINE\t\tCTS on\t", "LINE\t\tDSR off\t",
            "LINE\t\tring\t" }));
    EXPECT_EQ(h.Records("PORT"),
        QStringList({ "PORT\t\topen COM1 /dev/ttyS0 4800,N,8,1\t", "PORT\t\tfailed COM2: no such device\t",
            "PORT\t\tlost COM2: unplugged\t" }));
    EXPECT_EQ(h.portFailures.size(), 1) << "the log adds no box of its own";
}

TEST(FormLog, ARepeatRunEndsWithOneSummaryAfterItsLastAnswer)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog(h.LogPath());
    // Every packet gets a good answer 3 ms later, except the second, which gets a check error.
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.01");
    f.TextCount->setText("3");
    SetVbValue(f.CheckWaitForResponse, 1);
    SetVbValue(f.CheckRepeat, 1);
    for (int sends = 1; sends <= 3; ++sends) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() == sends; }, 5000));
        h.Advance(3);
        h.comm.receive(sends == 2 ? QByteArray("\x06\x03\x00", 3) : QByteArray("\x06\x03\x05"));
    }
    EXPECT_FALSE(IsSet(f.CheckRepeat));
    f.StopLog();
    const QStringList lines = h.Lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.last().section('\t', 1),
        "RUN\t\tsends=3 complete=3 bccerr=1 nak=0 incomplete=0 unanswered=0 min=3.0 median=3.0 p99=3.0 "
        "max=3.0\t");
    EXPECT_EQ(h.Records("RUN").size(), 1);
    EXPECT_EQ(h.Records("RX").size(), 3);
}

TEST(FormLog, AManualSendEndsTheRunAndCountsItsSilentSendsUnanswered)
{
    LogHarness h;
    DurnixForm& f = h.StartWithLog(h.LogPath());
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.01");
    SetVbValue(f.CheckRepeat, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() == 2; }, 5000));
    Send(f, "STOP");
    f.StopLog();
    const QStringList lines = h.Lines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[lines.size() - 2].section('\t', 1).startsWith(
        "RUN\t\tsends=2 complete=0 bccerr=0 nak=0 incomplete=0 unanswered=2 min=-"))
        << lines[lines.size() - 2].toStdString();
    EXPECT_EQ(lines.last().section('\t', 1, 1), "TX");
}

TEST(FormLog, AFolderRemovedMidRunStopsLoggingWithTheMessageAndTheRunGoesOn)
{
    LogHarness h;
    const QString folder = h.folder.filePath("logs");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/run.log";
    DurnixForm& f = h.StartWithLog(path);
    f.TextOutput->setEditText("Q");
    f.TextRepeat->setText("0.01");
    SetVbValue(f.CheckRepeat, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= 3; }, 5000));
    const QByteArray settingsBefore = h.ReadSettings();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.logFailures.isEmpty(); }, 5000));
    EXPECT_TRUE(h.logFailures[0].contains(path)) << h.logFailures[0].toStdString();
    EXPECT_TRUE(h.logFailures[0].contains("No such file or directory")) << h.logFailures[0].toStdString();
    EXPECT_FALSE(f.Log().IsRunning());
    EXPECT_FALSE(f.MenuStartLog->isChecked());
    const qsizetype writes = h.comm.writes.size();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.comm.writes.size() >= writes + 3; }, 5000));
    EXPECT_TRUE(IsSet(f.CheckRepeat));
    EXPECT_EQ(h.logFailures.size(), 1);
    EXPECT_EQ(h.ReadSettings(), settingsBefore);
}

struct StartFailureCase {
    const char* name;
    const char* path;
    const char* reason;
};

using StartFailure = ::testing::TestWithParam<StartFailureCase>;

TEST_P(StartFailure, NamesTheFileAndTheReasonAndLeavesNoLogRunning)
{
    LogHarness h;
    const QString path = QString(GetParam().path).replace("FOLDER", h.folder.path());
    DurnixForm& f = h.StartWithLog(path);
    ASSERT_EQ(h.logFailures.size(), 1);
    EXPECT_TRUE(h.logFailures[0].contains(path)) << h.logFailures[0].toStdString();
    EXPECT_TRUE(h.logFailures[0].contains(GetParam().reason)) << h.logFailures[0].toStdString();
    EXPECT_FALSE(f.Log().IsRunning());
    EXPECT_TRUE(f.MSComm1.portOpen());
}

INSTANTIATE_TEST_SUITE_P(FormLog, StartFailure,
    ::testing::Values(StartFailureCase { "FolderMissing", "FOLDER/missing/x.log", "No such file or directory" },
        StartFailureCase { "DiskFull", "/dev/full", "No space left on device" },
        StartFailureCase { "AFolderIsNoFile", "FOLDER", "Is a directory" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
