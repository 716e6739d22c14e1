#pragma once

#include <QString>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

// A pseudo-terminal as the serial device: the port opens the slave, the test plays the device on the
// master. Read waits without letting Qt run, so only what has reached the driver counts.
struct PtyPair {
    PtyPair() { ::openpty(&master, &slave, nullptr, nullptr, nullptr); }
    ~PtyPair() { ::close(slave), ::close(master); }
    QString SlavePath() const { return QString::fromLocal8Bit(::ttyname(slave)); }
    void Write(QByteArrayView bytes) { (void)!::write(master, bytes.data(), bytes.size()); }
    QByteArray Read(qsizetype count)
    {
        QByteArray bytes;
        char chunk[512];
        for (pollfd ready { master, POLLIN, 0 }; bytes.size() < count && ::poll(&ready, 1, 5000) > 0;)
            bytes.append(chunk, std::max<ssize_t>(0, ::read(master, chunk, sizeof chunk)));
        return bytes;
    }

    int master = -1, slave = -1;
};
