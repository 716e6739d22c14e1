#include "response/receiver.h"

#include "common/bytes.h"

#include <algorithm>

namespace
{

constexpr qsizetype kHexCharsPerByte = 3;

} // namespace

void Receiver::StartAnswer()
{
    state.phase = 0;
    state.text.Assign({});
    hex.Clear();
}

bool Receiver::Feed(QByteArrayView chunk, int protocolPosition)
{
    AppendHex(chunk);
    bool complete = false;
    for (char byte : chunk)
        complete |= FeedAnswerByte(state, protocolPosition, byte);
    return complete;
}

void Receiver::ClearHexDisplay()
{
    hex.Clear();
}

// Only the part of a huge chunk that can still be seen is turned into text.
void Receiver::AppendHex(QByteArrayView chunk)
{
    const qsizetype shownBytes = std::min(chunk.size(), kHexDisplayLimit / kHexCharsPerByte);
    hex.Append(HexText(chunk.last(shownBytes)));
    hex.KeepLast(kHexDisplayLimit);
}
