#include "response/receiver.h"

#include "common/bytes.h"
#include "response/answer_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace
{

constexpr qsizetype kStreamLength = 1'000'000;
constexpr qsizetype kShownHexBytes = kHexDisplayLimit / 3;

// Small and large chunks alike, one of them larger than everything that is kept.
bool FeedInMixedChunks(Receiver& receiver, QByteArrayView stream, int protocol)
{
    constexpr std::array<qsizetype, 6> kChunkSizes = { 1, 3, 64, 7001, 1, 400'000 };
    bool complete = false;
    qsizetype from = 0;
    for (std::size_t i = 0; from < stream.size(); ++i) {
        const qsizetype size = std::min(kChunkSizes[i % kChunkSizes.size()], stream.size() - from);
        complete |= receiver.Feed(stream.sliced(from, size), protocol);
        from += size;
    }
    return complete;
}

QByteArray CyclingBytes(qsizetype length, bool avoidVxbControls)
{
    QByteArray bytes;
    bytes.reserve(length);
    for (qsizetype i = 0; bytes.size() < length; ++i) {
        const char byte = char(i % 251);
        if (!avoidVxbControls || (byte != 0x03 && byte != 0x06 && byte != 0x15))
            bytes.append(byte);
    }
    return bytes;
}

} // namespace

TEST(ReceiverBounds, StreamOfOneByteKeepsOnlyTheNewestPart)
{
    Receiver receiver;
    receiver.StartAnswer();
    EXPECT_TRUE(FeedInMixedChunks(receiver, QByteArray(kStreamLength, char(0xFF)), 5));
    EXPECT_EQ(receiver.hexDisplay(), QString("FF ").repeated(kShownHexBytes));
    EXPECT_EQ(receiver.answerDisplay(), QString("<255>").repeated(kAnswerTextLimit));
    EXPECT_EQ(receiver.answer().text.size(), kAnswerTextLimit);
}

TEST(ReceiverBounds, StreamsOfMixedBytesShowTheirExactTails)
{
    struct Case {
        const char* name;
        int protocol;
        QByteArray lead;
        bool avoidVxbControls;
        bool completes;
    };
    const Case cases[] = {
        { "As is", 5, {}, false, true },
        { "VXB answer that never ends", 0, QByteArray(1, 0x06), true, false },
    };
    for (const Case& c : cases) {
        const QByteArray stream = c.lead + CyclingBytes(kStreamLength, c.avoidVxbControls);
        Receiver receiver;
        receiver.StartAnswer();
        EXPECT_EQ(FeedInMixedChunks(receiver, stream, c.protocol), c.completes) << c.name;
        EXPECT_EQ(receiver.hexDisplay(), HexText(stream.last(kShownHexBytes))) << c.name;
        EXPECT_EQ(receiver.answerDisplay(), RenderAnswerText(stream.last(kAnswerTextLimit))) << c.name;
        EXPECT_EQ(receiver.answer().text.bytes(), stream.last(kAnswerTextLimit)) << c.name;
    }
}
