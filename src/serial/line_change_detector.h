#pragma once

#include <QList>
#include <optional>

// One look at a serial line: the input lines and the driver's event counters.
struct LineReading {
    bool cts = false, dsr = false, dcd = false;
    int ctsCount = 0, dsrCount = 0, dcdCount = 0, ringCount = 0, frameCount = 0, parityCount = 0;
};

// Turns successive readings into the control's event codes (MSComm::CommEventCode). A line is
// reported when its state or its counter changed, so a pulse shorter than the polling interval is
// not lost; a ring, framing error or parity error when its counter rose.
class LineChangeDetector {
public:
    void Reset() { previous_.reset(); }
    // The codes in the order lines, ring, errors, so a ring seen together with a line change
    // stays visible. The first reading after Reset() raises nothing.
    QList<int> Feed(const LineReading& reading);

private:
    std::optional<LineReading> previous_;
};
