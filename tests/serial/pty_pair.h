#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

// A pseudo-terminal standing in for a serial device: the port under test opens the slave's path,
// the test plays the device on the master. The slave is raw, so every byte passes unchanged.
struct PtyPair {
    PtyPair()
    {
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        termios raw = Attributes();
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        slavePath = QString::fromLocal8Bit(::ttyname(slave));
    }
    ~PtyPair()
    {
        CloseMaster();
        ::close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    termios Attributes() const
    {
        termios attributes {};
        ::tcgetattr(slave, &attributes);
        return attributes;
    }
    void CloseMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void Write(QByteArrayView bytes) { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), bytes.size()); }

    // Waits for the master's fd (Read) or the slave's kernel queue (WaitQueued) without letting Qt
    // run, so only what has already reached the driver counts.
    QByteArray Read(qsizetype count)
    {
        QByteArray bytes;
        char chunk[512];
        for (QDeadlineTimer deadline(5000); bytes.size() < count && Wait(master, deadline);)
            bytes.append(chunk, std::max<ssize_t>(0, ::read(master, chunk, sizeof chunk)));
        return bytes;
    }
    bool WaitQueued(int count)
    {
        int queued = 0;
        for (QDeadlineTimer deadline(5000); ::ioctl(slave, FIONREAD, &queued) == 0 && queued < count;)
            if (!Wait(slave, deadline))
                return false;
        return queued >= count;
    }
    static bool Wait(int fd, const QDeadlineTimer& deadline)
    {
        pollfd ready { fd, POLLIN, 0 };
        return !deadline.hasExpired() && ::poll(&ready, 1, int(deadline.remainingTime())) > 0;
    }

    int master = -1;
    int slave = -1;
    QString slavePath;
};
