#include "response/answer_recognizer.h"

namespace
{

constexpr int kLastVxbPosition = 2;
constexpr int kHartPosition = 7;

constexpr unsigned char kAck = 0x06;
constexpr unsigned char kNak = 0x15;
constexpr unsigned char kEtx = 0x03;
constexpr unsigned char kHartPreamble = 0xFF;
constexpr unsigned char kHartDelimiter = 0x86;
// The byte count is the 8th byte counted from the delimiter; delimiter, five
// address bytes, command, count and check byte make 9 bytes besides the data.
constexpr qsizetype kHartCountIndex = 7;
constexpr qsizetype kHartFrameOverhead = 9;

// An ACK or NAK starts the answer, also in the middle of a text.
void StartVxbAnswer(AnswerState& state, unsigned char byte)
{
    state.phase = 1;
    state.bcc = byte;
    state.text.Assign(byte == kNak ? QByteArrayView("<NAK>") : QByteArrayView());
}

void FeedVxbText(AnswerState& state, unsigned char byte)
{
    state.bcc ^= byte;
    if (byte != kEtx) {
        state.text.Append(char(byte));
        return;
    }
    state.phase = 2;
    if (state.text.isEmpty())
        state.text.Assign("<>");
}

bool FeedVxbByte(AnswerState& state, unsigned char byte)
{
    const bool waitingForText = state.phase == 0 || state.phase == 1;
    if (waitingForText && (byte == kAck || byte == kNak))
        StartVxbAnswer(state, byte);
    else if (state.phase == 1)
        FeedVxbText(state, byte);
    else if (state.phase == 2) {
        if (byte != state.bcc)
            state.text.Append("<BCCERR>");
        state.phase = 3;
        return true;
    }
    return false;
}

// After a delimiter a new frame begins, so the delimiter replaces any earlier text.
void FeedHartPreamble(AnswerState& state, unsigned char byte)
{
    if (byte == kHartDelimiter) {
        state.phase = 2;
        state.text.Assign(QByteArrayView(reinterpret_cast<const char*>(&byte), 1));
    } else if (byte != kHartPreamble)
        state.phase = 0;
}

bool FeedHartFrame(AnswerState& state, unsigned char byte)
{
    state.text.Append(char(byte));
    const QByteArrayView frame = state.text.bytes();
    const int count = frame.size() > kHartCountIndex ? static_cast<unsigned char>(frame[kHartCountIndex]) : 0;
    if (frame.size() < kHartFrameOverhead + count)
        return false;
    state.phase = 3;
    return true;
}

bool FeedHartByte(AnswerState& state, unsigned char byte)
{
    switch (state.phase) {
    case 1:
        FeedHartPreamble(state, byte);
        return false;
    case 2:
        return FeedHartFrame(state, byte);
    default:
        if (byte == kHartPreamble)
            state.phase = 1;
        return false;
    }
}

} // namespace

bool FeedAnswerByte(AnswerState& state, int protocolPosition, char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    if (protocolPosition <= kLastVxbPosition)
        return FeedVxbByte(state, value);
    if (protocolPosition == kHartPosition)
        return FeedHartByte(state, value);
    state.text.Append(byte);
    return true;
}
