// Faults of the device and of the port, against the real window: the instrument killed in the
// middle of its work, a device that floods or never ends its answer, a port another process holds.
#include "instrument_process.h"
#include "live_window.h"
#include "process_meter.h"

#include "app/display_label.h"
#include "app/vb_controls.h"
#include "command/framing.h"
#include "response/receiver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace
{

// How long the window is watched after a fault, and how long a device misbehaves.
constexpr int kAfterFaultMs = 3000;
constexpr int kMisbehaviourMs = 3000;

// AddressSanitizer holds freed memory back (256 MB by default), so there resident memory says
// nothing about the window's own.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kResidentMemoryMeaningful = false;
#else
constexpr bool kResidentMemoryMeaningful = true;
#endif

// Kills the instrument at the moment a case chooses, and notes what the window was doing then.
struct Vanishing {
    InstrumentProcess& instrument;
    LiveWindow& window;
    QElapsedTimer sinceKill;
    QString breakCaption;

    void Kill()
    {
        breakCaption = window.Form().CommandBreak->text();
        sinceKill.start();
        instrument.Kill();
    }
};

struct VanishCase {
    const char* name;
    QStringList options;
    std::function<void(Vanishing&)> killDuring;
    const char* breakCaptionAtKill;
};

void PrintTo(const VanishCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<VanishCase> VanishCases()
{
    return {
        // Most of a long packet is still queued in the port when the device goes.
        { "Send", {},
            [](Vanishing& v) {
                v.window.Send(AsIs, QString(100'000, u'A'));
                v.Kill();
            },
            "&Break" },
        // Slow answers, so that the kill falls while a send waits for its answer.
        { "RepeatWaitingForResponse", { "--delay", "300" },
            [](Vanishing& v) {
                DurnixForm& f = v.window.Form();
                v.window.Prepare(VxbWithBcc, "ID?");
                f.TextRepeat->setText("0.01");
                f.TextCount->setText("");
                SetVbValue(f.CheckWaitForResponse, 1);
                SetVbValue(f.CheckRepeat, 1);
                ASSERT_TRUE(QTest::qWaitFor(
                    [&] { return v.window.completeAnswers >= 2 && f.ResponseState == 0; }, 5000));
                v.Kill();
            },
            "&Break" },
        // The break's wait runs the event loop itself: the kill and the loss happen inside it.
        { "Break", {},
            [](Vanishing& v) {
                DurnixForm& f = v.window.Form();
                QTimer::singleShot(0, &f, [&f] { f.CommandBreak_Click(); });
                QTimer::singleShot(200, &f, [&v] { v.Kill(); });
            },
            "&Break!" },
    };
}

class DeviceVanishes : public ::testing::TestWithParam<VanishCase>
{
};

TEST_P(DeviceVanishes, PortClosesRepetitionEndsNothingSpinsAndARestartTalksAgain)
{
    const VanishCase& c = GetParam();
    InstrumentProcess instrument;
    ASSERT_TRUE(instrument.Start(c.options)) << instrument.Errors().constData();
    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    ASSERT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();
    Vanishing v { instrument, window, {}, {} };
    qint64 closedAfterMs = -1;
    QObject::connect(
        &window.comm, &MSComm::portLost, &window.comm, [&] { closedAfterMs = v.sinceKill.elapsed(); });

    c.killDuring(v);
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(QTest::qWaitFor([&] { return v.sinceKill.isValid() && !f.MSComm1.portOpen(); }, 5000));
    EXPECT_EQ(v.breakCaption, QString(c.breakCaptionAtKill)) << "the kill missed the moment it was meant for";
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.CommandBreak->text() == "&Break"; }, 5000));
    EXPECT_GE(closedAfterMs, 0);
    EXPECT_LT(closedAfterMs, 500);

    // A port left retrying the dead device would burn a core here.
    const double cpuBefore = CpuSeconds();
    RunEventLoopFor(kAfterFaultMs);
    const double cpuShare = (CpuSeconds() - cpuBefore) * 1000.0 / kAfterFaultMs;
    EXPECT_LT(cpuShare, 0.05);
    EXPECT_FALSE(f.MSComm1.portOpen());
    EXPECT_EQ(f.CheckRepeat->checkState(), Qt::Unchecked);
    EXPECT_EQ(window.beeps, 1);
    EXPECT_TRUE(window.portFailures.isEmpty()) << window.portFailures.join('\n').toStdString();
    std::printf("%s: closed %lld ms after the kill; %.2f %% of a core over the next %d s\n", c.name,
        qlonglong(closedAfterMs), cpuShare * 100, kAfterFaultMs / 1000);

    ASSERT_TRUE(instrument.Start(c.options)) << instrument.Errors().constData();
    emit f.ComboPort->activated(0);
    ASSERT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();
    window.Send(VxbWithBcc, "ECHO again");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.TextInput->text() == "again"; }, 5000))
        << f.TextInput->text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Instrument, DeviceVanishes, ::testing::ValuesIn(VanishCases()),
    [](const ::testing::TestParamInfo<VanishCase>& info) { return info.param.name; });

// A device on a raw pseudo-terminal of the test's own that writes without pause: its first
// bytes once, then its body over and over, as fast as the window takes them.
class RelentlessDevice
{
public:
    RelentlessDevice()
    {
        ::openpty(&master_, &slave_, nullptr, nullptr, nullptr);
        termios raw {};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~RelentlessDevice()
    {
        Stop();
        ::close(master_);
        ::close(slave_);
    }
    RelentlessDevice(const RelentlessDevice&) = delete;
    RelentlessDevice& operator=(const RelentlessDevice&) = delete;

    QString Path() const { return QString::fromLocal8Bit(::ttyname(slave_)); }

    void Start(QByteArray first, QByteArray body)
    {
        writer_ = std::thread([this, pending = std::move(first), body = std::move(body)]() mutable {
            qsizetype at = 0;
            while (!stop_) {
                if (at == pending.size()) {
                    pending = body;
                    at = 0;
                }
                pollfd writable { master_, POLLOUT, 0 };
                if (::poll(&writable, 1, 20) <= 0)
                    continue;
                const ssize_t written
                    = ::write(master_, pending.constData() + at, size_t(pending.size() - at));
                if (written < 0 && errno != EAGAIN)
                    return;
                at += std::max<ssize_t>(written, 0);
            }
        });
    }
    void Stop()
    {
        stop_ = true;
        if (writer_.joinable())
            writer_.join();
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::atomic<bool> stop_ { false };
    std::thread writer_;
};

struct MisbehaviourCase {
    const char* name;
    int protocol;
    qint64 streamRate; // the instrument's own text stream; 0: the test plays the device
    QByteArray first;
    QByteArray body;
    std::optional<qint16> responseState;
};

void PrintTo(const MisbehaviourCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<MisbehaviourCase> MisbehaviourCases()
{
    QByteArray text;
    while (text.size() < 4096)
        text += "THE ANSWER GOES ON AND ON ";
    return {
        { "InstrumentTextStream", AsIs, 10'000'000, {}, {}, std::nullopt },
        // The instrument streams text only; 0xFF comes from the test's own device.
        { "FFBytes", AsIs, 0, {}, QByteArray(4096, '\xFF'), std::nullopt },
        // ACK and then text without ETX: the answer is never complete.
        { "VxbAnswerWithoutEnd", VxbWithBcc, 0, "\x06", text, 1 },
    };
}

class MisbehavingDevice : public ::testing::TestWithParam<MisbehaviourCase>
{
};

TEST_P(MisbehavingDevice, WindowStaysResponsiveWithBoundedMemoryAndDisplays)
{
    const MisbehaviourCase& c = GetParam();
    InstrumentProcess instrument;
    std::optional<RelentlessDevice> peer;
    QString device;
    if (c.streamRate > 0) {
        ASSERT_TRUE(instrument.Start({ "--stream", QString::number(c.streamRate) }))
            << instrument.Errors().constData();
        device = instrument.LinkPath();
    } else {
        device = peer.emplace().Path();
    }
    LiveWindow window(Com1Map(device, instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    ASSERT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();
    window.Send(c.protocol, "ID?");

    const qint64 residentBefore = ResidentBytes();
    qint64 residentPeak = residentBefore;
    qint64 largestGapMs = 0;
    qsizetype longestAnswer = 0;
    qsizetype longestHex = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        largestGapMs = std::max(largestGapMs, sinceTick.restart());
        residentPeak = std::max(residentPeak, ResidentBytes());
        longestAnswer = std::max(longestAnswer, f.TextInput->text().size());
        longestHex = std::max(longestHex, f.TextInputHex->text().size());
    });
    if (peer)
        peer->Start(c.first, c.body);
    sinceTick.start();
    tick.start(10);
    RunEventLoopFor(kMisbehaviourMs);
    tick.stop();
    if (peer)
        peer->Stop();

    // Generous: this catches a frozen window, not a slow one.
    EXPECT_LT(largestGapMs, 2000);
    if (kResidentMemoryMeaningful) {
        EXPECT_LT(residentPeak - residentBefore, 50 << 20);
    }
    EXPECT_LE(longestAnswer, kAnswerTextLimit * 6);
    EXPECT_LE(longestHex, kHexDisplayLimit);
    EXPECT_GT(window.comm.bytesRead, 100'000) << "the flood never reached the window";
    if (c.responseState) {
        EXPECT_EQ(f.ResponseState, *c.responseState);
    }
    EXPECT_TRUE(f.MSComm1.portOpen());
    std::printf("%s: %.1f MB read in %d s; largest gap between 10 ms ticks %lld ms; resident memory grew "
                "%.1f MB; displays %lld and %lld characters\n",
        c.name, double(window.comm.bytesRead) / 1e6, kMisbehaviourMs / 1000, qlonglong(largestGapMs),
        double(residentPeak - residentBefore) / 1e6, qlonglong(longestAnswer), qlonglong(longestHex));
}

INSTANTIATE_TEST_SUITE_P(Device, MisbehavingDevice, ::testing::ValuesIn(MisbehaviourCases()),
    [](const ::testing::TestParamInfo<MisbehaviourCase>& info) { return info.param.name; });

// The lock file Qt's serial port honours, as written by the program holding the port. Its format
// is taken from QLockFile itself; only the owner's process id and program name are put in.
bool WriteLockOf(const QString& lockPath, qint64 pid, const QString& folder)
{
    const QString sample = folder + "/sample.lock";
    QLockFile own(sample);
    if (!own.tryLock())
        return false;
    QFile ownFile(sample);
    if (!ownFile.open(QIODevice::ReadOnly))
        return false;
    QList<QByteArray> lines = ownFile.readAll().split('\n');
    own.unlock();
    if (lines.size() < 2)
        return false;
    lines[0] = QByteArray::number(pid);
    lines[1] = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName().toUtf8();
    QFile lock(lockPath);
    return lock.open(QIODevice::WriteOnly | QIODevice::NewOnly) && lock.write(lines.join('\n')) > 0;
}

TEST(PortHeldByAnotherProcess, OpeningFailsSayingItIsBusyAndSucceedsOnceTheHolderIsGone)
{
    if (!QFileInfo("/var/lock").isWritable())
        GTEST_SKIP() << "no writable /var/lock for serial port lock files";
    InstrumentProcess instrument;
    ASSERT_TRUE(instrument.Start()) << instrument.Errors().constData();
    QProcess holder;
    holder.start("sleep", { "30" });
    ASSERT_TRUE(holder.waitForStarted());
    // Named after the device path, as Qt names it for a device outside /dev.
    const QString lockPath = "/var/lock/LCK.." + QString(instrument.LinkPath()).replace('/', '_');
    const auto removeLock = qScopeGuard([&] { QFile::remove(lockPath); });
    ASSERT_TRUE(WriteLockOf(lockPath, holder.processId(), instrument.Folder()));

    LiveWindow window(Com1Map(instrument.LinkPath(), instrument.Folder()), instrument.Folder());
    DurnixForm& f = window.Form();
    EXPECT_FALSE(f.MSComm1.portOpen());
    EXPECT_EQ(window.portFailures,
        QStringList(instrument.LinkPath() + ": the port is busy; it may be in use by another program."));

    // The holder's lock is stale once it is gone; the window runs on meanwhile.
    holder.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return holder.state() == QProcess::NotRunning; }, 5000));
    emit f.ComboPort->activated(0);
    EXPECT_TRUE(f.MSComm1.portOpen()) << window.portFailures.join('\n').toStdString();
    EXPECT_EQ(window.portFailures.size(), 1);
    window.Send(VxbWithBcc, "ECHO free");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.TextInput->text() == "free"; }, 5000))
        << f.TextInput->text().toStdString();
}

} // namespace
