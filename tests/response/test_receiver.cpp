#include "response/receiver.h"

#include "common/bytes.h"
#include "response/answer_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <vector>

namespace
{

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

constexpr int kVxb = 0;
constexpr int kAsIs = 5;
constexpr int kHart = 7;

struct AnswerCase {
    const char* name;
    int protocol;
    QByteArray bytes;
    QString shown;
    int completedBy; // 1-based number of the byte that completes the answer, 0 for never
    int phase;
};

const QByteArray kHartFrame
    = Bytes({ 0xFF, 0xFF, 0x86, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x01, 0x02, 0xD1, 0xD2, 0xC3 });

const std::vector<AnswerCase> kAnswers = {
    { "VXB good check", kVxb, Bytes({ 0x06, 0x31, 0x32, 0x03, 0x06 }), "12", 5, 3 },
    { "VXB bad check", kVxb, Bytes({ 0x06, 0x31, 0x32, 0x03, 0x00 }), "12<BCCERR>", 5, 3 },
    { "VXB no BCC still checks", 1, Bytes({ 0x06, 0x31, 0x32, 0x03, 0x00 }), "12<BCCERR>", 5, 3 },
    { "VXB wrong BCC", 2, Bytes({ 0x06, 0x31, 0x32, 0x03, 0x06 }), "12", 5, 3 },
    { "no protocol selected", -1, Bytes({ 0x06, 0x31, 0x32, 0x03, 0x06 }), "12", 5, 3 },
    { "NAK", kVxb, Bytes({ 0x15, 0x03, 0x16 }), "<NAK>", 3, 3 },
    { "ACK without text", kVxb, Bytes({ 0x06, 0x03, 0x05 }), "<>", 3, 3 },
    { "noise before ACK", kVxb, Bytes({ 0x41, 0x0D, 0xFF, 0x06, 0x31, 0x03, 0x34 }), "1", 7, 3 },
    { "ACK restarts the text", kVxb, Bytes({ 0x06, 0x41, 0x06, 0x42, 0x03, 0x47 }), "B", 6, 3 },
    { "NAK restarts the text", kVxb, Bytes({ 0x06, 0x41, 0x15, 0x42, 0x03, 0x54 }), "<NAK>B", 6, 3 },
    { "control bytes in text", kVxb, Bytes({ 0x06, 0x0D, 0x0A, 0x03, 0x02 }), "<13>\n<10>", 5, 3 },
    { "bytes after the check", kVxb, Bytes({ 0x06, 0x31, 0x03, 0x34, 0x06, 0x32, 0x03, 0x37 }), "1", 4, 3 },
    { "VXB never ends", kVxb, Bytes({ 0x41, 0x06, 0x31, 0x32, 0x33 }), "123", 0, 1 },
    { "As is", kAsIs, Bytes({ 0x41, 0x42, 0x0D, 0x0A }), "AB<13>\n<10>", 1, 0 },
    { "printable range", kAsIs, Bytes({ 0x00, 0x1F, 0x20, 0x7E, 0x7F, 0x84, 0xFF }),
        "<0><31> ~<127><132><255>", 1, 0 },
    { "ASCII CRLF", 3, Bytes({ 0x06, 0x31, 0x03 }), "<6>1<3>", 1, 0 },
    { "VXB-Ravo", 4, Bytes({ 0x15 }), "<21>", 1, 0 },
    { "Modbus RTU", 6, Bytes({ 0x01, 0x83 }), "<1><131>", 1, 0 },
    { "unknown position", 42, Bytes({ 0x30 }), "0", 1, 0 },
    { "HART", kHart, kHartFrame, "<134><161><162><163><164><165><1><2><209><210><195>", 13, 3 },
    { "HART delimiter inside frame", kHart,
        Bytes({ 0xFF, 0x86, 0x86, 0x86, 0x86, 0x86, 0x86, 0x86, 0x01, 0x86, 0x00, 0x86 }),
        "<134><134><134><134><134><134><134><1><134><0>", 11, 3 },
    { "HART new preamble replaces", kHart,
        Bytes({ 0xFF, 0x86, 1, 2, 3, 4, 5, 6, 0, 7, 0x41, 0xFF, 0xFF, 0x86, 17, 18, 19, 20, 21, 22, 0, 23 }),
        "<134><17><18><19><20><21><22><0><23>", 10, 3 },
    { "HART noise breaks preamble", kHart, Bytes({ 0x86, 0xFF, 0x42, 0x86, 0x01 }), "", 0, 0 },
    { "HART never ends", kHart, Bytes({ 0xFF, 0x86, 1, 2, 3, 4, 5, 6, 9, 1 }),
        "<134><1><2><3><4><5><6><9><1>", 0, 2 },
};

struct Outcome {
    QString hex;
    QString shown;
    int phase = 0;
    bool complete = false;
};

Outcome FeedInChunks(const AnswerCase& answer, std::vector<qsizetype> cuts)
{
    Receiver receiver;
    receiver.StartAnswer();
    Outcome outcome;
    cuts.push_back(answer.bytes.size());
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        outcome.complete
            |= receiver.Feed(QByteArrayView(answer.bytes).sliced(from, cut - from), answer.protocol);
        from = cut;
    }
    outcome.hex = receiver.hexDisplay();
    outcome.shown = receiver.answerDisplay();
    outcome.phase = receiver.answer().phase;
    EXPECT_EQ(outcome.shown, RenderAnswerText(receiver.answer().text.bytes())) << answer.name;
    return outcome;
}

int CompletingByte(const AnswerCase& answer)
{
    Receiver receiver;
    for (qsizetype i = 0; i < answer.bytes.size(); ++i)
        if (receiver.Feed(answer.bytes.sliced(i, 1), answer.protocol))
            return int(i + 1);
    return 0;
}

std::vector<qsizetype> RandomCuts(std::mt19937& random, qsizetype size)
{
    std::uniform_int_distribution<qsizetype> position(0, size);
    std::vector<qsizetype> cuts(std::uniform_int_distribution<int>(0, 6)(random));
    for (qsizetype& cut : cuts)
        cut = position(random);
    std::sort(cuts.begin(), cuts.end());
    return cuts;
}

} // namespace

TEST(Receiver, AnswersAreShownRecognisedAndCompletedPerProtocol)
{
    for (const AnswerCase& answer : kAnswers) {
        const Outcome outcome = FeedInChunks(answer, {});
        EXPECT_EQ(outcome.hex, HexText(answer.bytes)) << answer.name;
        EXPECT_EQ(outcome.shown, answer.shown) << answer.name;
        EXPECT_EQ(outcome.phase, answer.phase) << answer.name;
        EXPECT_EQ(outcome.complete, answer.completedBy > 0) << answer.name;
        EXPECT_EQ(CompletingByte(answer), answer.completedBy) << answer.name;
    }
}

TEST(Receiver, AnswerSplitOverEventsEndsAsInOneChunk)
{
    std::mt19937 random(20240611);
    for (const AnswerCase& answer : kAnswers) {
        const Outcome whole = FeedInChunks(answer, {});
        for (int split = 0; split < 200; ++split) {
            const std::vector<qsizetype> cuts = RandomCuts(random, answer.bytes.size());
            const Outcome parts = FeedInChunks(answer, cuts);
            ASSERT_EQ(parts.hex, whole.hex) << answer.name << " split " << split;
            ASSERT_EQ(parts.shown, whole.shown) << answer.name << " split " << split;
            ASSERT_EQ(parts.phase, whole.phase) << answer.name << " split " << split;
            ASSERT_EQ(parts.complete, whole.complete) << answer.name << " split " << split;
        }
    }
}

TEST(Receiver, LaterBytesAreShownButOnlyANewAnswerIsInterpreted)
{
    Receiver receiver;
    const QByteArray first = Bytes({ 0x06, 0x31, 0x03, 0x34 });
    const QByteArray second = Bytes({ 0x06, 0x32, 0x03, 0x37 });
    EXPECT_TRUE(receiver.Feed(first, kVxb));
    EXPECT_FALSE(receiver.Feed(second, kVxb));
    EXPECT_EQ(receiver.hexDisplay(), HexText(first + second));
    EXPECT_EQ(receiver.answerDisplay(), QString("1"));

    receiver.StartAnswer();
    EXPECT_TRUE(receiver.hexDisplay().isEmpty());
    EXPECT_TRUE(receiver.answerDisplay().isEmpty());
    EXPECT_EQ(receiver.answer().phase, 0);
    EXPECT_TRUE(receiver.Feed(second, kVxb));
    EXPECT_EQ(receiver.answerDisplay(), QString("2"));

    receiver.ClearHexDisplay();
    EXPECT_TRUE(receiver.hexDisplay().isEmpty());
    EXPECT_EQ(receiver.answerDisplay(), QString("2"));
}

TEST(Receiver, ProtocolIsTakenFromEachChunk)
{
    Receiver receiver;
    EXPECT_FALSE(receiver.Feed(Bytes({ 0x06, 0x31 }), kVxb));
    EXPECT_TRUE(receiver.Feed(Bytes({ 0x0D }), kAsIs));
    EXPECT_EQ(receiver.answerDisplay(), QString("1<13>\n"));
}
