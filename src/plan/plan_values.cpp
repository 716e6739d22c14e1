#include "plan/plan_values.h"

#include "command/device_address.h"
#include "command/framing.h"
#include "common/lenient_number.h"
#include "network/network_address.h"
#include "serial/port_map.h"
#include "serial/port_settings.h"

#include <QRegularExpression>
#include <algorithm>

namespace
{

using Kind = PlanStep::Kind;

QString Cut(QStringView text, qsizetype longest)
{
    return text.size() <= longest ? text.toString() : text.first(longest).toString() + QStringLiteral("...");
}

bool AllDigits(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A plain whole number from 0 to `most`; digits beyond any bound are never converted.
QString ReadCount(PlanStep& step, QStringView text, qint64 most, const QString& tooMany)
{
    if (!AllDigits(text))
        return Quoted(text) + QStringLiteral(" is not a whole number");
    while (text.size() > 1 && text.front() == u'0')
        text = text.sliced(1);
    step.number = text.size() <= 18 ? text.toLongLong() : most + 1;
    const QString shown = text.size() <= 18 ? text.toString() : Quoted(text);
    return step.number > most ? shown + tooMany : QString();
}

QString ReadOn(PlanStep& step, QStringView text)
{
    step.on = text.compare(u"on", Qt::CaseInsensitive) == 0;
    if (step.on || text.compare(u"off", Qt::CaseInsensitive) == 0)
        return {};
    return Quoted(text) + QStringLiteral(" is not on or off");
}

QString ReadProtocol(PlanStep& step, QStringView text)
{
    const QStringList& names = ProtocolNames();
    const auto named = std::find_if(names.begin(), names.end(),
        [text](const QString& name) { return name.compare(text, Qt::CaseInsensitive) == 0; });
    step.number = named == names.end() ? -1 : named - names.begin();
    if (step.number < 0 && text.size() == 1 && text.front() >= u'0' && text.front() <= u'7')
        step.number = text.front().unicode() - u'0';
    return step.number < 0 ? QStringLiteral("unknown protocol ") + Quoted(text) : QString();
}

QString ReadAddress(PlanStep& step, QStringView text)
{
    step.number = AddressNumber(text);
    return IsWholeNumber(text) ? QString() : Quoted(text) + QStringLiteral(" is not a number");
}

QString ReadSettings(PlanStep& step, QStringView text)
{
    step.text = text.toString();
    if (ParsePortSettings(text))
        return {};
    return Quoted(text) + QStringLiteral(" is not speed,parity,data bits,stop bits as 9600,N,8,1");
}

// COMn in any case (kept as COMn), a device path or a URL of a network port.
QString ReadPort(PlanStep& step, QStringView text)
{
    step.text = text.toString();
    if (text.contains(u"://")) {
        const QString problem = NetworkAddressProblem(text);
        return problem.isEmpty() ? problem : Quoted(text) + QStringLiteral(": ") + Cut(problem, 80);
    }
    if (text.startsWith(u'/'))
        return {};
    const QStringView number = text.sliced(std::min<qsizetype>(3, text.size()));
    const int port = number.size() <= 2 && AllDigits(number) ? number.toInt() : -1;
    if (!text.startsWith(u"COM", Qt::CaseInsensitive) || port < 0)
        return QStringLiteral("unknown port %1; write COMn, a device path or a URL").arg(Quoted(text));
    step.text = QStringLiteral("COM%1").arg(port);
    if (port >= kFirstComPort && port <= kLastComPort)
        return {};
    return QStringLiteral("no port %1; the ports are COM%2 to COM%3")
        .arg(Quoted(text))
        .arg(kFirstComPort)
        .arg(kLastComPort);
}

int HexDigit(QChar c)
{
    const char16_t u = c.toLower().unicode();
    return u >= u'0' && u <= u'9' ? u - u'0' : u >= u'a' && u <= u'f' ? u - u'a' + 10 : -1;
}

// Pairs of hex digits with blanks between any two pairs.
QString ReadHex(PlanStep& step, QStringView text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u' ' || text[i] == u'\t') {
            ++i;
            continue;
        }
        const int high = HexDigit(text[i]), low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0)
            return Quoted(text) + QStringLiteral(" is not pairs of hex digits");
        step.bytes.append(char(high * 16 + low));
        i += 2;
    }
    return {};
}

QString ReadExpression(PlanStep& step, QStringView text)
{
    step.text = text.toString();
    const QRegularExpression expression(step.text);
    return expression.isValid() ? QString()
                                : QStringLiteral("bad regular expression: ") + expression.errorString();
}

QString ReadExpect(PlanStep& step, QStringView text)
{
    if (text.trimmed().compare(u"none", Qt::CaseInsensitive) == 0)
        step.kind = Kind::ExpectNone;
    else
        step.text = text.toString();
    return {};
}

} // namespace

QString ReadStepValue(PlanStep& step, QStringView value)
{
    const QString longest = QStringLiteral(" ms is more than 24 hours");
    switch (step.kind) {
    case Kind::Port:
        return ReadPort(step, value);
    case Kind::Settings:
        return ReadSettings(step, value);
    case Kind::Protocol:
        return ReadProtocol(step, value);
    case Kind::Address:
        return ReadAddress(step, value);
    case Kind::Hex:
    case Kind::Disp:
    case Kind::National:
    case Kind::Dtr:
    case Kind::Rts:
    case Kind::AutoRts:
        return ReadOn(step, value);
    case Kind::Timeout:
    case Kind::Quiet:
    case Kind::Wait:
        return ReadCount(step, value, kLongestPlanTime, longest);
    case Kind::Repeat:
        return ReadCount(
            step, value, kMostPlanRepeats, QStringLiteral(" is more than %1 repeats").arg(kMostPlanRepeats));
    case Kind::Expect:
        return ReadExpect(step, value);
    case Kind::Match:
        return ReadExpression(step, value);
    case Kind::ExpectHex:
        return ReadHex(step, value);
    case Kind::Send:
        step.text = value.toString();
        return {};
    case Kind::Break:
    case Kind::ExpectNone:
        return {};
    }
    return {};
}

QString Quoted(QStringView text)
{
    return u'"' + Cut(text, 40) + u'"';
}
