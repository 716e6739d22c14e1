#include "instrument/stream_text.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr QByteArrayView kLine = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\r\n";

} // namespace

StreamText::StreamText(qint64 bytesPerSecond)
    : bytesPerSecond_(double(bytesPerSecond))
{
}

QByteArray StreamText::Take(std::chrono::nanoseconds sinceLast)
{
    const double seconds = std::chrono::duration<double>(sinceLast).count();
    credit_ = std::min(credit_ + bytesPerSecond_ * seconds, bytesPerSecond_ / 10);
    const qsizetype count = qsizetype(std::floor(credit_));
    credit_ -= double(count);
    QByteArray text;
    text.reserve(count);
    while (text.size() < count) {
        const qsizetype piece = std::min(count - text.size(), kLine.size() - position_);
        text.append(kLine.sliced(position_, piece));
        position_ = (position_ + piece) % kLine.size();
    }
    return text;
}
