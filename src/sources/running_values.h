#pragma once

#include <QString>
#include <QTime>
#include <optional>

// The running value for the selected layout ("ss", "hh.mm", "hh.mm.ss", "mm.ss", "NN") at one clock
// reading; std::nullopt when the layout matches none (the command box keeps its text). Layout "NN"
// writes runningNumber and then adds 1 unless it is 32767.
std::optional<QString> RunningValueText(const QString& layout, QTime now, qint16& runningNumber);
