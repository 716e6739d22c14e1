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

QByteArray ReadLine(QProcess& process)
{
    while (!process.canReadLine() && process.waitForReadyRead(10000)) { }
    return process.readLine().trimmed();
}

// Opens the port raw, sends the request and collects an answer of the given size.
QByteArray Ask(const QString& port, const QByteArray& request, qsizetype answerSize)
{
    const int fd = open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY);
    termios settings {};
    if (fd < 0 || tcgetattr(fd, &settings) != 0)
        return "cannot open";
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
    QByteArray answer;
    char buffer[256];
    pollfd readable { fd, POLLIN, 0 };
    ssize_t got = write(fd, request.constData(), size_t(request.size()));
    while (got > 0 && answer.size() < answerSize && poll(&readable, 1, 5000) > 0)
        if ((got = read(fd, buffer, sizeof buffer)) > 0)
            answer.append(buffer, got);
    close(fd);
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
    ASSERT_EQ(ReadLine(instrument), QFile::encodeName(link));
    const QByteArray answer = QByteArray::fromHex("06 31 32 03 06");
    for (int opening = 0; opening < 2; ++opening) // closing the port is no hang-up for the instrument
        EXPECT_EQ(Ask(link, QByteArray::fromHex("80 45 43 48 4F 20 31 32 03 21"), answer.size()), answer);
    instrument.terminate();
    ASSERT_TRUE(instrument.waitForFinished(10000));
    EXPECT_EQ(instrument.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(
        ReadLine(instrument), "durnix-instrument: received 2 frames, answered 2, 20 bytes in, 10 bytes out");
}
