#pragma once

#include "plan/plan.h"

#include <QStringView>

// The longest time a plan may give in milliseconds (24 hours), and the most times a block may repeat.
inline constexpr qint64 kLongestPlanTime = 24LL * 60 * 60 * 1000;
inline constexpr qint64 kMostPlanRepeats = 1000000000;

// Reads a step's value into the step by the step's kind: the text after the step's word and its one
// blank, never empty, taken exactly by send, expect and match and without the blanks around it by
// every other kind. "expect none" makes the step an ExpectNone. What is wrong with the value, in a
// few lower-case words, or nothing. A setting given outside a plan reads the same way.
QString ReadStepValue(PlanStep& step, QStringView value);

// A text for a message, in quotes, cut short when it is long.
QString Quoted(QStringView text);
