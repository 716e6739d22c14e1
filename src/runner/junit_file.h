#pragma once

#include "runner/plan_report.h"

#include <QString>
#include <optional>
#include <vector>

// Writes the checks of a run as JUnit XML: one test suite named `suite`, one test case per check
// executed, a failure element with its message for each that failed. Why it could not, if so.
std::optional<QString> WriteJUnitFile(
    const QString& path, const QString& suite, const std::vector<CheckResult>& results, double seconds);
