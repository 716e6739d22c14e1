#include "instrument/command_set.h"

namespace
{

constexpr QByteArrayView kDisp = "DISP ";
constexpr QByteArrayView kEcho = "ECHO ";

QByteArray Identity()
{
    return QByteArray("durnix-instrument ") + QByteArray::number(DURNIX_VERSION_MAJOR) + '.'
        + QByteArray::number(DURNIX_VERSION_MINOR);
}

} // namespace

CommandSet::CommandSet(int displayPositions, Clock clock, DisplaySink showDisplay)
    : display_(displayPositions)
    , clock_(std::move(clock))
    , showDisplay_(std::move(showDisplay))
{
}

std::optional<QByteArray> CommandSet::Run(QByteArrayView command)
{
    if (const auto answer = Ask(command))
        return answer;
    if (command.startsWith(kDisp)) {
        display_.Show(command.sliced(kDisp.size()));
        showDisplay_(display_.Shown());
        return QByteArray();
    }
    if (command.startsWith(kEcho))
        return command.sliced(kEcho.size()).toByteArray();
    return std::nullopt;
}

std::optional<QByteArray> CommandSet::Ask(QByteArrayView question) const
{
    if (question == "ID?")
        return Identity();
    if (question == "TIME?")
        return clock_().toString(QStringLiteral("hh:mm:ss")).toLatin1();
    return std::nullopt;
}
