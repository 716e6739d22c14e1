// durnix-plan as a user runs it: a plan file, the instrument on a pseudo-terminal, the exit status,
// the lines it prints, the bytes its log shows on the wire and the JUnit file.
#include "e2e/instrument_process.h"
#include "network/ser2net_process.h"
#include "row_names.h"
#include "runner/plan_report.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <csignal>
#include <gtest/gtest.h>

namespace
{

struct PlanRun {
    int status = -1;
    QStringList lines;
    QString errors;
    QString log;
};

class PlanRunTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        instrument_ = new InstrumentProcess;
        ASSERT_TRUE(instrument_->Start()) << instrument_->Errors().toStdString();
    }
    static void TearDownTestSuite() { delete instrument_; }

    QString Path(const QString& name) const { return folder_.filePath(name); }

    // The instrument's port unless the arguments name one.
    void Start(const QString& plan, QStringList arguments)
    {
        QFile file(Path("test.plan"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(plan.toUtf8());
        file.close();
        if (!arguments.contains("--port"))
            arguments << "--port" << instrument_->LinkPath();
        process_.setWorkingDirectory(folder_.path());
        process_.start(DURNIX_PLAN_PATH, QStringList { "test.plan", "--log", "traffic.log" } + arguments);
        ASSERT_TRUE(process_.waitForStarted());
    }
    PlanRun Finish()
    {
        EXPECT_TRUE(process_.waitForFinished(60000));
        QFile log(Path("traffic.log"));
        const QByteArray traffic = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        return { process_.exitCode(),
            QString::fromUtf8(process_.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            QString::fromUtf8(process_.readAllStandardError()), QString::fromUtf8(traffic) };
    }
    PlanRun Run(const QString& plan, const QStringList& arguments = {})
    {
        Start(plan, arguments);
        return Finish();
    }

    static InstrumentProcess* instrument_;
    QTemporaryDir folder_;
    QProcess process_;
};

InstrumentProcess* PlanRunTest::instrument_ = nullptr;

bool AnyLineMatches(const QStringList& lines, const QString& pattern)
{
    const QRegularExpression expression(pattern);
    return std::any_of(
        lines.begin(), lines.end(), [&](const QString& line) { return expression.match(line).hasMatch(); });
}

// Every framing: the packet on the wire, exactly, and its answer judged by that framing's rules.
struct FramingRow {
    const char* name;
    const char* plan;
    const char* wire;
    const char* verdict;
    DURNIX_PRINTS_ITS_NAME(FramingRow)
};

class Framings : public PlanRunTest, public ::testing::WithParamInterface<FramingRow>
{
};

TEST_P(Framings, PutTheFramedPacketOnTheWireAndJudgeItsAnswer)
{
    const FramingRow& row = GetParam();
    const PlanRun run = Run(row.plan);
    EXPECT_EQ(run.status, 0) << run.lines.join('\n').toStdString() << run.errors.toStdString();
    EXPECT_TRUE(run.log.contains(QStringLiteral("\tTX\t%1\t").arg(row.wire))) << run.log.toStdString();
    EXPECT_TRUE(AnyLineMatches(run.lines, row.verdict)) << run.lines.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(PlanRunner, Framings,
    ::testing::Values(
        FramingRow { "VxbWithBcc", "protocol 0\nsend ID?\nexpect durnix-instrument 1.0\n",
            "80 49 44 3F 03 31", R"(^ok    3  send ID\?  ->  durnix-instrument 1\.0  \([0-9.]+ ms\)$)" },
        FramingRow {
            "VxbNoBcc", "protocol VXB, no BCC\nsend ID?\nexpect <NAK>\n", "80 49 44 3F 03", "^ok    3" },
        FramingRow { "VxbWrongBcc", "protocol 2\nsend ID?\nexpect <NAK>\n", "80 49 44 3F 03 32", "^ok    3" },
        FramingRow { "AsciiCrlf", "protocol ascii crlf\nsend ID?\nexpect durnix-instrument 1.0<13><10>\n",
            "49 44 3F 0D 0A", "^ok    3" },
        FramingRow { "VxbRavo", "protocol 4\nsend ID?\nmatch ^<6>durnix-instrument 1\\.0<3>\n",
            "80 4D 4E 20 30 30 34 39 34 34 33 46 41 30 03 29", "^ok    3" },
        FramingRow { "AsIs", "protocol 5\ntimeout 300\nsend ID?\nexpect none\n", "49 44 3F",
            "^ok    4  send ID\\?  ->  no answer$" },
        FramingRow { "ModbusRtu",
            "protocol 6\naddress 1\nhex on\nsend 03 00 00 00 01\nexpect-hex 01 03 02 00 00 B8 44\n",
            "01 03 00 00 00 01 84 0A", "^ok    5" },
        FramingRow { "Hart", "protocol 7\nhex on\nsend 02 80 00 00\nmatch .\n",
            "FF FF FF FF FF 02 80 00 00 82", "^ok    4" }),
    ByName);

// Verdicts, the settings given on the command line and the exit statuses.
struct VerdictRow {
    const char* name;
    const char* plan;
    QStringList arguments;
    int status;
    QStringList printed; // each a line of standard output or, with "2>" in front, of standard error
    const char* absent = nullptr; // no line of standard output matches it
    DURNIX_PRINTS_ITS_NAME(VerdictRow)
};

class Verdicts : public PlanRunTest, public ::testing::WithParamInterface<VerdictRow>
{
};

TEST_P(Verdicts, PrintTheirLinesAndEndWithTheirStatus)
{
    const VerdictRow& row = GetParam();
    const PlanRun run = Run(row.plan, row.arguments);
    const QStringList errors = run.errors.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(run.status, row.status) << run.errors.toStdString();
    for (const QString& pattern : row.printed) {
        const bool onErrors = pattern.startsWith("2>");
        EXPECT_TRUE(AnyLineMatches(onErrors ? errors : run.lines, onErrors ? pattern.mid(2) : pattern))
            << pattern.toStdString() << " in:\n"
            << (run.lines + errors).join('\n').toStdString();
    }
    if (row.absent) {
        EXPECT_FALSE(AnyLineMatches(run.lines, row.absent)) << run.lines.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(PlanRunner, Verdicts,
    ::testing::Values(
        VerdictRow { "FailingCheck", "send ID?\nexpect durnix-instrument 9.9\n", {}, 1,
            { R"(^FAIL  2  send ID\?  ->  durnix-instrument 1\.0  expected durnix-instrument 9\.9$)",
                "^0 passed, 1 failed$" } },
        VerdictRow {
            "FailingMatch", "send ID?\nmatch ^[0-9]+$\n", {}, 1, { R"(expected to match \^\[0-9\]\+\$$)" } },
        VerdictRow { "Timeout", "protocol 5\ntimeout 200\nsend ID?\nexpect x\n", {}, 1,
            { R"(^FAIL  4  send ID\?  ->  no answer within 200 ms$)" } },
        VerdictRow { "AnswerWhereNoneExpected", "send ID?\nexpect none\n", {}, 1, { "expected no answer$" } },
        VerdictRow { "NestedRepeat", "repeat 2\n repeat 3\n  send ID?\n  match ^durnix\n end\nend\n", {}, 0,
            { R"(^ok    4  match \^durnix  6 passed, 0 failed  \(min [0-9.]+, median [0-9.]+, p99 [0-9.]+, max [0-9.]+ ms\)$)",
                "^6 passed, 0 failed$" },
            "^ok    4  send" },
        VerdictRow { "FailuresInsideARepeat", "repeat 3\nsend ID?\nexpect no\nend\n", {}, 1,
            { "^FAIL  3  send ID", "^FAIL  3  expect no  0 passed, 3 failed", "^0 passed, 3 failed$" } },
        VerdictRow { "NationalCharacters", "national on\nsend ECHO Ä\nexpect #A\n", {}, 0, { "^ok    3" } },
        VerdictRow { "QuietLongerThanTheTimeout", "protocol 3\nquiet 400\ntimeout 200\nsend ID?\nmatch .\n",
            {}, 1, { R"(^FAIL  5  send ID\?  ->  incomplete answer: durnix-instrument 1\.0<13><10>$)" } },
        VerdictRow { "Overrides",
            "port COM16\nsettings 1200,E,7,2\nprotocol 5\naddress 9\nsend ID?\nmatch ^durnix\n",
            { "--settings", "9600,N,8,1", "--protocol", "VXB, with BCC", "--address", "0" }, 0,
            { "^ok    6", "^1 passed, 0 failed$" } },
        VerdictRow { "Quiet", "send ID?\nmatch durnix\nsend ID?\nexpect no\n", { "--quiet" }, 1,
            { "^FAIL  4", "^1 passed, 1 failed$" }, "^ok" },
        VerdictRow { "MistakeInThePlan", "send ID?\nbogus step\n", {}, 2, { "2>^test.plan:2: " }, "." },
        VerdictRow { "PortThatCannotOpen", "send ID?\n", { "--port", "/nonexistent/ttyNone" }, 2,
            { "2>^durnix-plan: cannot open /nonexistent/ttyNone: [^/]+$", "^0 passed, 0 failed$" } },
        VerdictRow { "UnknownProtocolOption", "send ID?\n", { "--protocol", "morse" }, 2,
            { "2>^durnix-plan: --protocol: " }, "." }),
    ByName);

TEST_F(PlanRunTest, NothingGoesOnTheWireFromAPlanWithAMistake)
{
    const PlanRun run = Run("send ID?\nrepeat 2\nsend ID?\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_FALSE(run.log.contains("\tTX\t")) << run.log.toStdString();
}

// A file far larger than any plan is refused before it is read whole.
TEST_F(PlanRunTest, AFileTooLargeForAPlanIsRefused)
{
    const PlanRun run = Run("send ID?\n#" + QString(16 << 20, 'x') + '\n');
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "durnix-plan: test.plan: larger than 16 MiB, too large for a plan\n");
}

struct JUnitCounts {
    int tests = 0, failures = 0, cases = 0, failureElements = 0;
    QString firstName;
};

JUnitCounts ReadJUnit(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    JUnitCounts counts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"testsuite") {
            counts.tests = xml.attributes().value("tests").toInt();
            counts.failures = xml.attributes().value("failures").toInt();
        } else if (xml.name() == u"testcase" && counts.cases++ == 0) {
            counts.firstName = xml.attributes().value("name").toString();
        }
        counts.failureElements += xml.name() == u"failure";
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return counts;
}

TEST_F(PlanRunTest, JUnitFileHasACasePerCheckWithItsFailures)
{
    const PlanRun run
        = Run("send ID?\nmatch durnix\nexpect nope\nexpect-hex 00\n", { "--junit", Path("out.xml") });
    EXPECT_EQ(run.status, 1);
    const JUnitCounts counts = ReadJUnit(Path("out.xml"));
    EXPECT_EQ(counts.tests, 3);
    EXPECT_EQ(counts.cases, 3);
    EXPECT_EQ(counts.failures, 2);
    EXPECT_EQ(counts.failureElements, 2);
    EXPECT_EQ(counts.firstName, "line 2: match durnix");
}

// Ctrl-C in the middle of a long repeat: the summary of what ran, the JUnit file, status 130.
TEST_F(PlanRunTest, InterruptInARepeatEndsCleanly)
{
    Start("repeat 1000000\nsend ID?\nmatch durnix\nend\n", { "--junit", Path("out.xml") });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QFile log(Path("traffic.log"));
            return log.open(QIODevice::ReadOnly) && log.readAll().count("\tRX\t") >= 20;
        },
        20000));
    ::kill(pid_t(process_.processId()), SIGINT);
    const PlanRun run = Finish();
    EXPECT_EQ(run.status, 130);
    ASSERT_FALSE(run.lines.isEmpty());
    const QRegularExpressionMatch summary
        = QRegularExpression(R"(^(\d+) passed, 0 failed$)").match(run.lines.last());
    ASSERT_TRUE(summary.hasMatch()) << run.lines.join('\n').toStdString();
    EXPECT_GE(summary.captured(1).toInt(), 19);
    EXPECT_EQ(ReadJUnit(Path("out.xml")).tests, summary.captured(1).toInt());
}

// A port lost in the middle of a run ends it with status 2, saying so, after the checks that ran.
TEST_F(PlanRunTest, LostPortEndsTheRunWithStatus2)
{
    InstrumentProcess lost;
    ASSERT_TRUE(lost.Start());
    Start("repeat 1000000\nsend ID?\nmatch durnix\nend\n", { "--port", lost.LinkPath() });
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(Path("traffic.log")).size() > 2000; }, 20000));
    lost.Kill();
    const PlanRun run = Finish();
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.errors.startsWith("durnix-plan: lost " + lost.LinkPath() + ": "))
        << run.errors.toStdString();
    EXPECT_TRUE(AnyLineMatches(run.lines, "^[1-9][0-9]* passed, 0 failed$"))
        << run.lines.join('\n').toStdString();
}

TEST_F(PlanRunTest, RunsThroughSer2netByRfc2217)
{
    Ser2netProcess server;
    ASSERT_TRUE(server.Start(instrument_->LinkPath())) << server.Errors().toStdString();
    const PlanRun run = Run("send ID?\nmatch ^durnix-instrument\n", { "--port", server.Url() });
    EXPECT_EQ(run.status, 0) << run.errors.toStdString() << server.Errors().toStdString();
    EXPECT_TRUE(AnyLineMatches(run.lines, "^1 passed, 0 failed$"));
}

} // namespace

// Past the listed number, a check's runs are kept as one case per plan line with their counts and
// first failure, and the summary still counts every run.
TEST(PlanReportBound, ChecksPastTheListedNumberBecomeOneCasePerLine)
{
    QString printed;
    QTextStream out(&printed);
    PlanReport report(out, true, false, 2);
    PlanStep match;
    match.kind = PlanStep::Kind::Match;
    match.line = 3;
    match.text = "^durnix";
    PlanAnswer answer;
    answer.command = "ID?";
    answer.sent = answer.anyByte = answer.complete = true;
    for (const bool passed : { true, true, true, false, false })
        report.Check(match, answer, { passed, "no" }, true);
    report.Summary();
    QStringList cases;
    for (const CheckResult& result : report.Results())
        cases << result.name + ' ' + QString::number(result.passed) + ' ' + result.message;
    EXPECT_EQ(cases.join('|'),
        "line 3: match ^durnix 1 |line 3: match ^durnix 1 |"
        "line 3: match ^durnix (3 more runs) 0 2 of them failed, the first: "
            + printed.section('\n', 0, 0));
    EXPECT_TRUE(printed.endsWith("3 passed, 2 failed\n")) << printed.toStdString();
}
