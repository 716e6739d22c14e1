#pragma once

#include "log/log_format.h"
#include "log/run_statistics.h"

#include <optional>

// A record of the line as the log writes it, with what an RX record's text cannot carry.
struct TrafficRecord {
    LogRecord record;
    std::optional<AnswerOutcome> outcome; // an RX record's: how the answer ended
    int protocol = -1; // an RX record's: the list position of the framing it was read by
};
