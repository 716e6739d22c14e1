#pragma once

#include "instrument/instrument.h"

#include <QString>
#include <QStringList>
#include <variant>

struct InstrumentOptions {
    QString linkPath; // absolute
    InstrumentSettings settings;
    bool silent = false;
    int delayMs = 0;
    qint64 streamBytesPerSecond = 0;
};

// Help asked for, or a bad command line: the text to print and the exit code.
struct CommandLineStop {
    QString text;
    int exitCode;
};

std::variant<InstrumentOptions, CommandLineStop> ParseInstrumentOptions(const QStringList& arguments);
