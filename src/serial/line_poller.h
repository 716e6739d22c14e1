#pragma once

#include "serial/line_change_detector.h"

#include <QObject>
#include <QTimer>

// Qt reports neither modem line changes nor framing and parity errors, so we look at the tty
// ourselves. A device that cannot tell (a pseudo-terminal, some adapters) is simply not watched.
class LinePoller : public QObject {
    Q_OBJECT
public:
    explicit LinePoller(QObject* parent = nullptr);

    void Start(int fd);
    void Stop();
    // The lines as they are now; nothing while stopped or when the device cannot tell.
    std::optional<LineReading> Read() const;

signals:
    void lineEvent(int code);

private:
    void Poll();

    QTimer timer_;
    LineChangeDetector detector_;
    int fd_ = -1;
};
