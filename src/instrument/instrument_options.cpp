#include "instrument/instrument_options.h"

#include <QCommandLineParser>
#include <QDir>
#include <functional>
#include <optional>

namespace
{

struct NumberOption {
    QString name;
    qint64 lowest;
    qint64 highest;
};

const NumberOption kAddress { "address", 0, 127 };
const NumberOption kModbusId { "modbus-id", 1, 247 };
const NumberOption kDisplay { "display", 1, 1000 };
const NumberOption kDelay { "delay", 0, 60000 };
const NumberOption kStream { "stream", 0, 100'000'000 };

void AddOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription("A virtual instrument on a pseudo-terminal, answering every framing.");
    parser.addHelpOption();
    parser.addOptions({
        { "link", "Link the device at <path>, replacing a stale link.", "path" },
        { kAddress.name, "VXB address, 0 to 127 (default 0).", "n", "0" },
        { kModbusId.name, "Modbus slave id, 1 to 247 (default 1).", "n", "1" },
        { kDisplay.name, "Display positions (default 6).", "n", "6" },
        { "silent", "Never answer." },
        { "bad-check", "Answer with a wrong BCC or CRC." },
        { kDelay.name, "Delay each answer by <ms> milliseconds.", "ms", "0" },
        { kStream.name, "Flood the line with text at <rate> bytes per second.", "rate", "0" },
    });
}

std::optional<qint64> NumberOf(const QCommandLineParser& parser, const NumberOption& option)
{
    bool ok = false;
    const qint64 value = parser.value(option.name).toLongLong(&ok);
    if (!ok || value < option.lowest || value > option.highest)
        return std::nullopt;
    return value;
}

QString RangeProblem(const NumberOption& option)
{
    return QString("--%1 takes a whole number from %2 to %3")
        .arg(option.name)
        .arg(option.lowest)
        .arg(option.highest);
}

std::optional<QString> ReadNumbers(const QCommandLineParser& parser, InstrumentOptions& options)
{
    const std::pair<const NumberOption&, std::function<void(qint64)>> numbers[] = {
        { kAddress, [&](qint64 value) { options.settings.vxbAddress = quint8(value); } },
        { kModbusId, [&](qint64 value) { options.settings.modbusId = quint8(value); } },
        { kDisplay, [&](qint64 value) { options.settings.displayPositions = int(value); } },
        { kDelay, [&](qint64 value) { options.delayMs = int(value); } },
        { kStream, [&](qint64 value) { options.streamBytesPerSecond = value; } },
    };
    for (const auto& [option, store] : numbers) {
        const std::optional<qint64> value = NumberOf(parser, option);
        if (!value)
            return RangeProblem(option);
        store(*value);
    }
    return std::nullopt;
}

} // namespace

std::variant<InstrumentOptions, CommandLineStop> ParseInstrumentOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments))
        return CommandLineStop { parser.errorText(), 2 };
    if (parser.isSet("help"))
        return CommandLineStop { parser.helpText(), 0 };
    if (parser.value("link").isEmpty() || !parser.positionalArguments().isEmpty())
        return CommandLineStop { "usage: durnix-instrument --link <path> [options]", 2 };
    InstrumentOptions options;
    if (const std::optional<QString> problem = ReadNumbers(parser, options))
        return CommandLineStop { *problem, 2 };
    options.linkPath = QDir::current().absoluteFilePath(parser.value("link"));
    options.silent = parser.isSet("silent");
    options.settings.badCheck = parser.isSet("bad-check");
    return options;
}
