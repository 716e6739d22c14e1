#include "serial/line_change_detector.h"

#include "serial/mscomm.h"

namespace {

QList<int> Changes(const LineReading& before, const LineReading& now)
{
    QList<int> codes;
    if (now.cts != before.cts || now.ctsCount != before.ctsCount)
        codes << MSComm::comEvCTS;
    if (now.dsr != before.dsr || now.dsrCount != before.dsrCount)
        codes << MSComm::comEvDSR;
    if (now.dcd != before.dcd || now.dcdCount != before.dcdCount)
        codes << MSComm::comEvCD;
    if (now.ringCount > before.ringCount)
        codes << MSComm::comEvRing;
    if (now.frameCount > before.frameCount)
        codes << MSComm::comEventFrame;
    if (now.parityCount > before.parityCount)
        codes << MSComm::comEventRxParity;
    return codes;
}

} // namespace

QList<int> LineChangeDetector::Feed(const LineReading& reading)
{
    const QList<int> codes = previous_ ? Changes(*previous_, reading) : QList<int> {};
    previous_ = reading;
    return codes;
}
