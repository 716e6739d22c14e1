// durnix-plan: runs a test plan without a window.
#include "app/settings/settings_reader.h"
#include "common/stop_signals.h"
#include "runner/junit_file.h"
#include "runner/plan_options.h"
#include "runner/plan_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace
{

QTextStream out(stdout);
QTextStream errors(stderr);

// A plan is pages of steps; a file far larger is no plan, and is never read into memory whole.
constexpr qint64 kPlanFileLimit = 16 << 20;

std::optional<Plan> LoadPlan(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors << "durnix-plan: " << path << ": " << file.errorString() << '\n';
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kPlanFileLimit + 1);
    if (bytes.size() > kPlanFileLimit) {
        errors << "durnix-plan: " << path << ": larger than 16 MiB, too large for a plan\n";
        return std::nullopt;
    }
    auto read = ReadPlan(bytes);
    if (const auto* mistake = std::get_if<PlanMistake>(&read)) {
        errors << path << ':' << mistake->line << ": " << mistake->message << '\n';
        return std::nullopt;
    }
    return std::get<Plan>(std::move(read));
}

PortMap SettingsPortMap()
{
    return PortMap::FromSettingsBytes(ReadSettingsFile(QDir::currentPath()).value_or(QByteArray()));
}

// SIGINT and SIGTERM end the run as its end would, with 128 plus the signal's number.
void StopOnSignals(QSocketNotifier& notifier, PlanRunner& runner)
{
    QObject::connect(&notifier, &QSocketNotifier::activated, &runner, [&runner](QSocketDescriptor fd) {
        signalfd_siginfo info {};
        if (read(int(fd), &info, sizeof info) == sizeof info)
            runner.Stop(128 + int(info.ssi_signo));
    });
}

int Run(const PlanOptions& options, const Plan& plan)
{
    const int stops = OpenStopSignals();
    TrafficLog log;
    if (!options.logPath.isEmpty()) {
        if (const auto failure = log.Start(options.logPath, false)) {
            errors << "durnix-plan: " << *failure << '\n';
            return 2;
        }
    }
    PlanReport report(out, options.quiet, isatty(STDOUT_FILENO) == 1);
    PlanRunner runner(plan, SettingsPortMap(), options.overrides, log, report, errors);
    QSocketNotifier notifier(stops, QSocketNotifier::Read);
    StopOnSignals(notifier, runner);
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    QObject::connect(&runner, &PlanRunner::finished, [&status](int result) {
        status = result;
        QCoreApplication::quit();
    });
    runner.Start();
    QCoreApplication::exec();
    report.Summary();
    const QString suite = QFileInfo(options.planPath).fileName();
    if (!options.junitPath.isEmpty()) {
        if (const auto failure
            = WriteJUnitFile(options.junitPath, suite, report.Results(), clock.elapsed() / 1000.0)) {
            errors << "durnix-plan: " << options.junitPath << ": " << *failure << '\n';
            return 2;
        }
    }
    return status == 0 && report.Failed() > 0 ? 1 : status;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("durnix-plan"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(DURNIX_VERSION_MAJOR).arg(DURNIX_VERSION_MINOR));
    const auto options = ReadPlanOptions(QCoreApplication::arguments());
    if (const auto* exit = std::get_if<PlanOptionsExit>(&options)) {
        if (exit->status == 0)
            out << exit->message << Qt::flush;
        else
            errors << "durnix-plan: " << exit->message << '\n' << Qt::flush;
        return exit->status;
    }
    const PlanOptions& plan = std::get<PlanOptions>(options);
    const auto steps = LoadPlan(plan.planPath);
    return steps ? Run(plan, *steps) : 2;
}
