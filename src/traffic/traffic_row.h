#pragma once

#include "log/traffic_record.h"

#include <QString>

// A kept record with what the decoded column says of it.
struct TrafficRow {
    TrafficRecord traffic;
    QString decoded;
    bool standsOut = false; // a check error, a NAK, an answer cut short or a send never answered
};

// The row of a record as it comes: an RX record gets its framing's verdict.
TrafficRow MakeTrafficRow(const TrafficRecord& record);
// Marks the row of a send that got no answer before the next one.
void MarkUnanswered(TrafficRow& row);
