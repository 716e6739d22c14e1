#pragma once

#include "runner/plan_runner.h"

#include <QStringList>
#include <variant>

// What the command line asks for.
struct PlanOptions {
    QString planPath;
    PlanOverrides overrides;
    QString junitPath;
    QString logPath;
    bool quiet = false;
};

// A command line that cannot be run: the message, and whether it is help or the version (status 0).
struct PlanOptionsExit {
    QString message;
    int status = 2;
};

std::variant<PlanOptions, PlanOptionsExit> ReadPlanOptions(const QStringList& arguments);
