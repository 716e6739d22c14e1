#include "runner/plan_answer.h"

#include "common/bytes.h"

#include <QRegularExpression>

namespace
{

// Every check but "expect none" needs a whole answer to look at.
std::optional<QString> MissingAnswer(const PlanAnswer& answer)
{
    if (!answer.sent)
        return QStringLiteral("the command cannot be made into bytes");
    if (!answer.anyByte)
        return QStringLiteral("no answer within %1 ms").arg(answer.timeoutMs);
    if (!answer.complete)
        return QStringLiteral("incomplete answer: %1").arg(answer.text);
    return std::nullopt;
}

bool Holds(const PlanStep& check, const PlanAnswer& answer)
{
    switch (check.kind) {
    case PlanStep::Kind::Expect:
        return answer.text == check.text;
    case PlanStep::Kind::Match:
        return QRegularExpression(check.text).match(answer.text).hasMatch();
    case PlanStep::Kind::ExpectHex:
        return answer.bytes == check.bytes;
    default:
        return false;
    }
}

QString Expected(const PlanStep& check)
{
    switch (check.kind) {
    case PlanStep::Kind::Match:
        return QStringLiteral("expected to match ") + check.text;
    case PlanStep::Kind::ExpectHex:
        return QStringLiteral("expected hex ") + HexText(check.bytes).trimmed();
    default:
        return QStringLiteral("expected ") + check.text;
    }
}

} // namespace

CheckVerdict JudgeCheck(const PlanStep& check, const PlanAnswer& answer)
{
    if (check.kind == PlanStep::Kind::ExpectNone) {
        if (answer.anyByte)
            return { false, QStringLiteral("expected no answer") };
        return { answer.sent, answer.sent ? QString() : *MissingAnswer(answer) };
    }
    if (const auto missing = MissingAnswer(answer))
        return { false, *missing };
    if (Holds(check, answer))
        return { true, {} };
    return { false, Expected(check) };
}

QString CheckText(const PlanStep& check)
{
    switch (check.kind) {
    case PlanStep::Kind::Expect:
        return QStringLiteral("expect ") + check.text;
    case PlanStep::Kind::Match:
        return QStringLiteral("match ") + check.text;
    case PlanStep::Kind::ExpectHex:
        return QStringLiteral("expect-hex ") + HexText(check.bytes).trimmed();
    default:
        return QStringLiteral("expect none");
    }
}
