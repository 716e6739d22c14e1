#pragma once

#include <QString>

// The repeat interval in milliseconds: the magnitude of the box's leading
// number of seconds. Text that is not a number gives 0, which never ticks.
qint64 RepeatIntervalMs(QStringView intervalText);

// What a sending tick does with the count box.
struct RepeatCountStep {
    enum Kind { NoLimit, LastSend, CountDown };
    Kind kind = NoLimit;
    QString remaining; // the new text of the box, for CountDown
};

// The count counts only when its whole text, blanks aside, is a number; a
// value of at most 1 makes this send the last.
RepeatCountStep NextRepeatCount(QStringView countText);
