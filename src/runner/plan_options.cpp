#include "runner/plan_options.h"

#include "plan/plan_values.h"

#include <QCommandLineParser>
#include <utility>

namespace
{

const char kDescription[]
    = "Runs a test plan against an instrument and gives a verdict.\n"
      "Exit status: 0 every check passed, 1 a check failed, 2 the plan could not be run,\n"
      "130 or 143 stopped by SIGINT or SIGTERM.";

// An override reads as the plan's own step for it, so that both take the same words.
std::optional<PlanStep> OverrideStep(
    PlanStep::Kind kind, const QString& option, const QString& value, QString& mistake)
{
    PlanStep step;
    step.kind = kind;
    const QString wrong = ReadStepValue(step, value);
    if (wrong.isEmpty())
        return step;
    mistake = QStringLiteral("--%1: %2").arg(option, wrong);
    return std::nullopt;
}

std::optional<QString> ReadOverrides(const QCommandLineParser& parser, PlanOverrides& overrides)
{
    QString mistake;
    if (parser.isSet(QStringLiteral("port")))
        overrides.port = parser.value(QStringLiteral("port"));
    using Kind = PlanStep::Kind;
    for (const auto& [kind, name] : { std::pair { Kind::Settings, "settings" },
             std::pair { Kind::Protocol, "protocol" }, std::pair { Kind::Address, "address" } }) {
        const QString option = QString::fromLatin1(name);
        if (!parser.isSet(option))
            continue;
        const auto step = OverrideStep(kind, option, parser.value(option), mistake);
        if (!step)
            return mistake;
        if (kind == Kind::Settings)
            overrides.settings = step->text;
        else if (kind == Kind::Protocol)
            overrides.protocol = int(step->number);
        else
            overrides.address = step->number;
    }
    return std::nullopt;
}

} // namespace

std::variant<PlanOptions, PlanOptionsExit> ReadPlanOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("PLAN"), QStringLiteral("The plan file to run."));
    parser.addOptions({
        { "port", "Use port <name> for the whole run: COMn, a device path or a URL.", "name" },
        { "settings", "Use the port settings <text>, as 9600,N,8,1.", "text" },
        { "protocol", "Use the framing <name>, or its list position 0 to 7.", "name" },
        { "address", "Use the device address <n>.", "n" },
        { "junit", "Write the checks as JUnit XML to <file>.", "file" },
        { "log", "Append the line's traffic to <file>.", "file" },
        { "quiet", "Print only failures and the summary." },
    });
    if (!parser.parse(arguments))
        return PlanOptionsExit { parser.errorText(), 2 };
    if (parser.isSet(help))
        return PlanOptionsExit { parser.helpText(), 0 };
    if (parser.isSet(version))
        return PlanOptionsExit {
            QStringLiteral("durnix-plan %1\n").arg(QCoreApplication::applicationVersion()), 0
        };
    if (parser.positionalArguments().size() != 1)
        return PlanOptionsExit { QStringLiteral("one plan file is needed; see --help"), 2 };
    PlanOptions options;
    options.planPath = parser.positionalArguments().front();
    if (const auto mistake = ReadOverrides(parser, options.overrides))
        return PlanOptionsExit { *mistake, 2 };
    options.junitPath = parser.value(QStringLiteral("junit"));
    options.logPath = parser.value(QStringLiteral("log"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    return options;
}
