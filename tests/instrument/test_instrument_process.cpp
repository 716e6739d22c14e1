#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace
{

QByteArray ReadLine(QProcess& process, QDeadlineTimer deadline)
{
    while (!process.canReadLine() && !deadline.hasExpired())
        process.waitForReadyRead(int(deadline.remainingTime()));
    return process.readLine().trimmed();
}

int OpenRaw(const QString& path)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    termios settings {};
    if (fd >= 0 && tcgetattr(fd, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

QByteArray Ask(int fd, const QByteArray& request, qsizetype answerSize)
{
    if (write(fd, request.constData(), size_t(request.size())) != request.size())
        return {};
    QByteArray answer;
    const QDeadlineTimer deadline(5000);
    while (answer.size() < answerSize && !deadline.hasExpired()) {
        pollfd readable { fd, POLLIN, 0 };
        char buffer[256];
        if (poll(&readable, 1, int(deadline.remainingTime())) > 0 && (readable.revents & POLLIN))
            answer.append(buffer, qMax<ssize_t>(read(fd, buffer, sizeof buffer), 0));
    }
    return answer;
}

} // namespace

TEST(InstrumentProcess, AnswersOnItsLinkUntilStoppedAndThenReports)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("ttyDURNIX");
    ASSERT_TRUE(QFile::link("/nonexistent/stale", link));
    QProcess instrument;
    instrument.start(DURNIX_INSTRUMENT_PATH, { "--link", link });
    ASSERT_EQ(ReadLine(instrument, QDeadlineTimer(10000)), QFile::encodeName(link));

    const QByteArray answer = QByteArray::fromHex("06 31 32 03 06");
    for (int opening = 0; opening < 2; ++opening) { // closing the port is no hang-up for the instrument
        const int fd = OpenRaw(link);
        ASSERT_GE(fd, 0) << "opening " << opening;
        EXPECT_EQ(Ask(fd, QByteArray::fromHex("80 45 43 48 4F 20 31 32 03 21"), answer.size()), answer);
        close(fd);
    }

    instrument.terminate();
    ASSERT_TRUE(instrument.waitForFinished(10000));
    EXPECT_EQ(instrument.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadLine(instrument, QDeadlineTimer(1000)),
        "durnix-instrument: received 2 frames, answered 2, 20 bytes in, 10 bytes out");
}
