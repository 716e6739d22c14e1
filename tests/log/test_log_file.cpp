// The log's file: what it refuses, how a failure reads, and that a record is never torn.
#include "command/framing.h"
#include "log/log_file_append.h"
#include "log/traffic_log.h"

#include <QtTest>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder, a device and a FIFO without a reader (whose opening would wait for one for good) are refused
// before anything opens them.
TEST(LogFile, APathThatIsNoPlainFileIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : { dir.path(), fifo, QStringLiteral("/dev/null") }) {
        TrafficLog log;
        EXPECT_EQ(log.Start(path, false), "The log " + path + " cannot be written: it is not a plain file");
        EXPECT_FALSE(log.IsRunning());
        EXPECT_EQ(AppendWholeRecords(path, "H\n", "R\n"), "it is not a plain file");
    }
}

// A file system too small for the records: the file keeps only whole records, and logging stops once,
// saying why in words.
TEST(LogFile, AFullDiskKeepsWholeRecordsAndSaysSo)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a small file system of the test's own can only be mounted by root";
    QTemporaryDir dir;
    if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "mounting a tmpfs was refused: " << std::strerror(errno);
    const struct Unmount {
        QByteArray folder;
        ~Unmount() { ::umount2(folder.constData(), MNT_DETACH); }
    } unmount { QFile::encodeName(dir.path()) };
    const QString path = dir.filePath("run.log");
    const QByteArray record = QByteArray(5000, 'a') + '\n';
    EXPECT_EQ(AppendWholeRecords(path, "header\n", record), std::nullopt);
    EXPECT_EQ(AppendWholeRecords(path, "header\n", record + record + record), "the disk is full");
    EXPECT_TRUE(Read(path) == "header\n" + record) << "cut back to the last whole record";

    ASSERT_TRUE(QFile::remove(path));
    TrafficLog log;
    QStringList failures;
    QObject::connect(&log, &TrafficLog::failed, [&](const QString& message) { failures << message; });
    ASSERT_EQ(log.Start(path, false), std::nullopt);
    for (int i = 0; i < 40; ++i)
        log.Port(QString(1000, 'p'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }, 5000));
    EXPECT_EQ(
        failures, QStringList("Logging stopped: the log " + path + " cannot be written: the disk is full"));
    EXPECT_FALSE(log.IsRunning());
    EXPECT_TRUE(Read(path).endsWith('\n'));
}

// A megabyte arriving in one read is logged in records of at most the limit, each marked as cut.
TEST(LogFile, ARecordNeverHoldsMoreThanTheLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("run.log");
    {
        TrafficLog log;
        ASSERT_EQ(log.Start(path, false), std::nullopt);
        log.Sent("Q", "Q", 0);
        log.Received(QByteArray(1 << 20, 'A'), false, VxbWithBcc, "A");
        log.Stop();
    }
    int answers = 0;
    for (const QByteArray& record : Read(path).split('\n')) {
        const QList<QByteArray> fields = record.split('\t');
        if (fields.size() > 3 && fields[1] == "RX") {
            ++answers;
            EXPECT_EQ(fields[2].size(), 3 * kLoggedAnswerLimit - 1);
            EXPECT_EQ(fields[3], "A<CUT><INCOMPLETE>");
        }
    }
    EXPECT_EQ(answers, (1 << 20) / kLoggedAnswerLimit);
}

} // namespace

// Without a file every record is still announced, an answer with how it ended and its framing, and the
// quiet time set ends an answer of every byte.
TEST(TrafficRecords, AreAnnouncedWithoutAFileAndTheQuietTimeEndsAnOpenAnswer)
{
    TrafficLog log;
    log.SetQuietMs(5);
    QStringList seen;
    QObject::connect(&log, &TrafficLog::recorded, [&](const TrafficRecord& r) {
        seen << r.record.event + ' ' + r.record.text + ' '
                + (r.outcome ? QString::number(r.outcome->complete) + QString::number(r.protocol) : "-");
    });
    log.Port("open");
    log.Sent("\x02ID?\x03", "ID?", 0);
    log.Received("\x06<BCC", true, VxbWithBcc, "<BCCERR>");
    log.Sent("x", "x", 0);
    log.Received("abc", false, AsIs, "abc");
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 5; }, 2000));
    EXPECT_EQ(seen.join('|'), "PORT open -|TX ID? -|RX <BCCERR> 10|TX x -|RX abc 15");
}
