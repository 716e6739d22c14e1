#pragma once

#include "serial/line_change_detector.h"
#include "serial/tty_ioctl.h"

#include <QObject>
#include <QTimer>

// Qt reports neither modem line changes nor framing and parity errors, so we look at the tty
// ourselves. The line states come from TIOCMGET; the event counters of TIOCGICOUNT add short
// pulses, rings and line errors where the driver keeps them. A device that cannot even tell its
// line states (a pseudo-terminal) is simply not watched.
class LinePoller : public QObject {
    Q_OBJECT
public:
    using Ioctl = TtyIoctl;

    explicit LinePoller(QObject* parent = nullptr);
    explicit LinePoller(Ioctl ioctl, QObject* parent = nullptr);

    void Start(int fd);
    void Stop();
    // The lines as they are now; nothing while stopped or when the device cannot tell.
    std::optional<LineReading> Read() const;

signals:
    void lineEvent(int code);

private:
    void Poll();

    Ioctl ioctl_;
    QTimer timer_;
    LineChangeDetector detector_;
    int fd_ = -1;
};
