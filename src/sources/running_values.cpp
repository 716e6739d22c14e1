#include "sources/running_values.h"

#include <limits>

namespace {

QString TwoDigits(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString NextRunningNumber(qint16& runningNumber)
{
    const QString text = QString::number(runningNumber);
    // The counter stops at its top instead of wrapping to a negative number.
    if (runningNumber < std::numeric_limits<qint16>::max())
        ++runningNumber;
    return text;
}

} // namespace

std::optional<QString> RunningValueText(const QString& layout, QTime now, qint16& runningNumber)
{
    const QString hours = TwoDigits(now.hour());
    const QString minutes = TwoDigits(now.minute());
    const QString seconds = TwoDigits(now.second());
    if (layout == u"hh.mm.ss")
        return hours + u'.' + minutes + u'.' + seconds;
    if (layout == u"hh.mm")
        return hours + u'.' + minutes;
    if (layout == u"ss")
        return seconds;
    if (layout == u"mm.ss")
        return minutes + u'.' + seconds;
    if (layout == u"NN")
        return NextRunningNumber(runningNumber);
    return std::nullopt;
}
