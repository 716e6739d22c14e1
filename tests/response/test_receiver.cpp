#include "response/receiver.h"

#include "common/bytes.h"
#include "response/answer_text.h"

#include <gtest/gtest.h>

// Protocol position, the bytes, the interpreted display, the byte that completes the answer (1-based, 0 for
// never) and the phase after the last byte. Sending without a BCC (1) still checks the BCC of the answer.
const std::tuple<int, const char*, const char*, int, int> kAnswers[]
    = { { 0, "0631320306", "12", 5, 3 }, { 1, "0631320300", "12<BCCERR>", 5, 3 },
          { 2, "0631320306", "12", 5, 3 }, { -1, "0631320306", "12", 5, 3 }, { 0, "150316", "<NAK>", 3, 3 },
          { 0, "060305", "<>", 3, 3 }, { 0, "410dff06310334", "1", 7, 3 }, { 0, "064106420347", "B", 6, 3 },
          { 0, "064115420354", "<NAK>B", 6, 3 }, { 0, "060d0a0302", "<13>\n<10>", 5, 3 },
          { 0, "0631033406320337", "1", 4, 3 }, { 0, "4106313233", "123", 0, 1 },
          { 5, "001f207e7f84ff", "<0><31> ~<127><132><255>", 1, 0 }, { 3, "063103", "<6>1<3>", 1, 0 },
          { 42, "30", "0", 1, 0 }, { 7, "86ff428601", "", 0, 0 },
          { 7, "ffff86a1a2a3a4a50102d1d2c3", "<134><161><162><163><164><165><1><2><209><210><195>", 13, 3 },
          { 7, "ff 86868686868686 0186 0086", "<134><134><134><134><134><134><134><1><134><0>", 11, 3 },
          { 7, "ff86 010203040506 0007 41 ffff86 111213141516 0017", "<134><17><18><19><20><21><22><0><23>",
              10, 3 },
          { 7, "ff86 010203040506 0901", "<134><1><2><3><4><5><6><9><1>", 0, 2 } };

// In two chunks cut at every place: the first chunk that holds the completing byte completes the answer.
TEST(Receiver, AnswersAreRecognisedAndCompletedAlikeHoweverSplit)
{
    for (const auto& [protocol, hex, shown, completedBy, phase] : kAnswers) {
        SCOPED_TRACE(hex);
        const QByteArray bytes = QByteArray::fromHex(hex);
        Receiver receiver;
        int completedAt = 0;
        for (qsizetype cut = 1; cut <= bytes.size(); ++cut) {
            receiver.StartAnswer();
            const bool head = receiver.Feed(bytes.first(cut), protocol);
            completedAt = completedAt == 0 && head ? int(cut) : completedAt;
            EXPECT_EQ(receiver.Feed(bytes.sliced(cut), protocol) || head, completedBy > 0)
                << "cut at " << cut;
            EXPECT_EQ(receiver.hexDisplay(), HexText(bytes)) << "cut at " << cut;
            EXPECT_EQ(receiver.answerDisplay(), shown) << "cut at " << cut;
            EXPECT_EQ(receiver.answer().phase, phase) << "cut at " << cut;
        }
        EXPECT_EQ(completedAt, completedBy);
    }
}

// Bounded in the answer's buffer, which every protocol's recogniser fills.
TEST(Receiver, AnEndlessStreamKeepsOnlyItsExactTail)
{
    QByteArray stream;
    for (int i = 0; stream.size() < 1'000'000; ++i)
        stream.append(char(i % 251));
    const qsizetype chunkSizes[] = { 1, 3, 64, 7001, 1, 400'000 }; // one beyond all that is kept
    Receiver receiver;
    for (qsizetype from = 0, i = 0; from < stream.size(); from += chunkSizes[i++ % 6])
        EXPECT_TRUE(receiver.Feed(stream.mid(from, chunkSizes[i % 6]), 5));
    EXPECT_EQ(receiver.hexDisplay(), HexText(stream.last(kHexDisplayLimit / 3)));
    EXPECT_EQ(receiver.answerDisplay(), RenderAnswerText(stream.last(kAnswerTextLimit)));
    EXPECT_EQ(receiver.answer().text.bytes(), stream.last(kAnswerTextLimit));
}
