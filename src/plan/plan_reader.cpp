#include "plan/plan.h"
#include "plan/plan_values.h"

#include "common/bytes.h"

#include <QStringDecoder>
#include <array>

namespace
{

using Kind = PlanStep::Kind;

// How a step takes the rest of its line.
enum class Takes { Nothing, Value, Text };

struct StepWord {
    QLatin1StringView word;
    Kind kind;
    Takes takes;
};

constexpr std::array<StepWord, 21> kStepWords = { {
    { QLatin1StringView("port"), Kind::Port, Takes::Value },
    { QLatin1StringView("settings"), Kind::Settings, Takes::Value },
    { QLatin1StringView("protocol"), Kind::Protocol, Takes::Value },
    { QLatin1StringView("address"), Kind::Address, Takes::Value },
    { QLatin1StringView("hex"), Kind::Hex, Takes::Value },
    { QLatin1StringView("disp"), Kind::Disp, Takes::Value },
    { QLatin1StringView("national"), Kind::National, Takes::Value },
    { QLatin1StringView("dtr"), Kind::Dtr, Takes::Value },
    { QLatin1StringView("rts"), Kind::Rts, Takes::Value },
    { QLatin1StringView("autorts"), Kind::AutoRts, Takes::Value },
    { QLatin1StringView("break"), Kind::Break, Takes::Nothing },
    { QLatin1StringView("timeout"), Kind::Timeout, Takes::Value },
    { QLatin1StringView("quiet"), Kind::Quiet, Takes::Value },
    { QLatin1StringView("send"), Kind::Send, Takes::Text },
    { QLatin1StringView("expect"), Kind::Expect, Takes::Text },
    { QLatin1StringView("match"), Kind::Match, Takes::Text },
    { QLatin1StringView("expect-hex"), Kind::ExpectHex, Takes::Value },
    { QLatin1StringView("wait"), Kind::Wait, Takes::Value },
    { QLatin1StringView("repeat"), Kind::Repeat, Takes::Value },
    // Closes the innermost open repeat; its kind is never stored.
    { QLatin1StringView("end"), Kind::Repeat, Takes::Nothing },
} };

// Repeats inside repeats go no deeper than this, so that nothing that walks the plan runs out of stack.
constexpr std::size_t kDeepestRepeat = 100;

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// UTF-8 when the whole file is UTF-8 (a byte order mark dropped), otherwise Windows-1252.
QString DecodePlan(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? FromWindows1252(bytes) : text;
}

// The steps read so far, with the repeats whose end is still to come.
class PlanReading
{
public:
    QString ReadLine(QStringView line, int number);
    QString Unclosed() const;
    Plan Finished() { return std::move(plan_); }

private:
    QString ReadStep(const StepWord& word, QStringView rest, int number);
    QString Close();
    std::vector<PlanStep>& Steps() { return open_.empty() ? plan_.steps : open_.back().body; }

    Plan plan_;
    std::vector<PlanStep> open_;
    bool sent_ = false;
};

QString PlanReading::ReadLine(QStringView line, int number)
{
    while (!line.isEmpty() && IsBlank(line.front()))
        line = line.sliced(1);
    if (line.isEmpty() || line.front() == u'#')
        return {};
    qsizetype end = 0;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    const QStringView word = line.first(end);
    const QStringView rest = line.sliced(std::min(end + 1, line.size()));
    for (const StepWord& known : kStepWords)
        if (word.compare(known.word, Qt::CaseInsensitive) == 0)
            return ReadStep(known, rest, number);
    return QStringLiteral("unknown step ") + Quoted(word);
}

QString PlanReading::ReadStep(const StepWord& word, QStringView rest, int number)
{
    const QStringView value = word.takes == Takes::Text ? rest : rest.trimmed();
    if (word.takes == Takes::Nothing && !value.isEmpty())
        return QStringLiteral("nothing may follow \"%1\"").arg(word.word);
    if (word.takes != Takes::Nothing && value.isEmpty())
        return QStringLiteral("nothing after \"%1\"").arg(word.word);
    if (word.word == QLatin1StringView("end"))
        return Close();
    PlanStep step;
    step.kind = word.kind;
    step.line = number;
    if (step.IsCheck() && !sent_)
        return QStringLiteral("\"%1\" before any \"send\"").arg(word.word);
    sent_ = sent_ || step.kind == Kind::Send;
    if (const QString problem = ReadStepValue(step, value); !problem.isEmpty())
        return problem;
    if (step.kind != Kind::Repeat)
        Steps().push_back(std::move(step));
    else if (open_.size() < kDeepestRepeat)
        open_.push_back(std::move(step));
    else
        return QStringLiteral("repeats nested more than %1 deep").arg(kDeepestRepeat);
    return {};
}

QString PlanReading::Close()
{
    if (open_.empty())
        return QStringLiteral("\"end\" without \"repeat\"");
    PlanStep done = std::move(open_.back());
    open_.pop_back();
    Steps().push_back(std::move(done));
    return {};
}

QString PlanReading::Unclosed() const
{
    if (open_.empty())
        return {};
    return QStringLiteral("\"repeat\" at line %1 has no \"end\"").arg(open_.back().line);
}

} // namespace

std::variant<Plan, PlanMistake> ReadPlan(const QByteArray& fileBytes)
{
    const QString text = DecodePlan(fileBytes);
    PlanReading reading;
    int number = 0;
    for (qsizetype start = 0; start < text.size(); ++number) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end;
        const qsizetype cut = end > start && end < text.size() && text[end - 1] == u'\r' ? 1 : 0;
        const QString problem
            = reading.ReadLine(QStringView(text).sliced(start, end - start - cut), number + 1);
        if (!problem.isEmpty())
            return PlanMistake { number + 1, problem };
        start = end + 1;
    }
    if (const QString problem = reading.Unclosed(); !problem.isEmpty())
        return PlanMistake { number + 1, problem };
    return reading.Finished();
}
