#include "instrument/vxb_frames.h"

#include "instrument/checksums.h"

#include <QByteArrayView>
#include <cctype>

namespace
{

constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr char kEtx = 0x03;
constexpr QByteArrayView kRavoPrefix = "MN 00";

QByteArray Answer(char lead, QByteArrayView text, bool badCheck)
{
    QByteArray answer;
    answer.append(lead).append(text).append(kEtx);
    answer.append(char(XorCheck(answer) + (badCheck ? 1 : 0)));
    return answer;
}

bool IsHexDigits(QByteArrayView text)
{
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

VxbRequest ParseVxbRequest(QByteArrayView frame)
{
    if (frame.isEmpty())
        return { 0, {}, false };
    const qsizetype etx = frame.indexOf(kEtx, 1);
    const qsizetype textEnd = etx < 0 ? frame.size() : etx;
    const QByteArrayView text = frame.sliced(1, textEnd - 1);
    const bool checkOk
        = etx >= 0 && frame.size() == etx + 2 && quint8(frame[etx + 1]) == XorCheck(frame.sliced(1, etx));
    return { quint8(quint8(frame[0]) & 0x7F), text.toByteArray(), checkOk };
}

QByteArray VxbAck(QByteArrayView text, bool badCheck)
{
    return Answer(kAck, text, badCheck);
}

QByteArray VxbNak(bool badCheck)
{
    return Answer(kNak, {}, badCheck);
}

bool IsRavoText(QByteArrayView text)
{
    return text.startsWith(kRavoPrefix);
}

std::optional<QByteArray> DecodeRavo(QByteArrayView text)
{
    if (!IsRavoText(text))
        return std::nullopt;
    const QByteArrayView digits = text.sliced(kRavoPrefix.size());
    if (digits.size() < 2 || digits.size() % 2 != 0 || !IsHexDigits(digits))
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromHex(digits.toByteArray());
    const QByteArray command = bytes.first(bytes.size() - 1);
    if (RavoCheck(command) != quint8(bytes.back()))
        return std::nullopt;
    return command;
}
