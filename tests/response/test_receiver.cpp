#include "response/receiver.h"

#include "common/bytes.h"
#include "response/answer_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace
{

struct AnswerCase {
    int protocol;
    const char* hex;
    const char* shown;
    int completedBy; // 1-based byte that completes the answer, 0 for never
    int phase;
};

// Sending without a BCC (1) still checks the BCC of the answer.
const AnswerCase kAnswers[] = { { 0, "0631320306", "12", 5, 3 }, { 1, "0631320300", "12<BCCERR>", 5, 3 },
    { 2, "0631320306", "12", 5, 3 }, { -1, "0631320306", "12", 5, 3 }, { 0, "150316", "<NAK>", 3, 3 },
    { 0, "060305", "<>", 3, 3 }, { 0, "410dff06310334", "1", 7, 3 }, { 0, "064106420347", "B", 6, 3 },
    { 0, "064115420354", "<NAK>B", 6, 3 }, { 0, "060d0a0302", "<13>\n<10>", 5, 3 },
    { 0, "0631033406320337", "1", 4, 3 }, { 0, "4106313233", "123", 0, 1 },
    { 5, "001f207e7f84ff", "<0><31> ~<127><132><255>", 1, 0 }, { 3, "063103", "<6>1<3>", 1, 0 },
    { 6, "0183", "<1><131>", 1, 0 }, { 42, "30", "0", 1, 0 }, { 7, "86ff428601", "", 0, 0 },
    { 7, "ffff86a1a2a3a4a50102d1d2c3", "<134><161><162><163><164><165><1><2><209><210><195>", 13, 3 },
    { 7, "ff 86868686868686 0186 0086", "<134><134><134><134><134><134><134><1><134><0>", 11, 3 },
    { 7, "ff86 010203040506 0007 41 ffff86 111213141516 0017", "<134><17><18><19><20><21><22><0><23>", 10,
        3 },
    { 7, "ff86 010203040506 0901", "<134><1><2><3><4><5><6><9><1>", 0, 2 } };

} // namespace

TEST(Receiver, AnswersAreRecognisedAndCompletedAlikeHoweverSplit)
{
    std::mt19937 random(20240611);
    for (const AnswerCase& answer : kAnswers) {
        SCOPED_TRACE(answer.hex);
        const QByteArray bytes = QByteArray::fromHex(answer.hex);
        const QString expected = HexText(bytes) + '|' + answer.shown + '|' + QString::number(answer.phase);
        Receiver receiver;
        int completedBy = 0;
        for (qsizetype i = 0; i < bytes.size(); ++i)
            if (receiver.Feed(bytes.sliced(i, 1), answer.protocol) && completedBy == 0)
                completedBy = int(i + 1);
        EXPECT_EQ(completedBy, answer.completedBy);
        for (int split = 0; split < 200; ++split) {
            std::vector<qsizetype> cuts(std::uniform_int_distribution<int>(0, 6)(random));
            for (qsizetype& cut : cuts)
                cut = std::uniform_int_distribution<qsizetype>(0, bytes.size())(random);
            cuts.insert(cuts.end(), { 0, bytes.size() });
            std::sort(cuts.begin(), cuts.end());
            receiver.StartAnswer();
            bool complete = false;
            for (std::size_t k = 1; k < cuts.size(); ++k)
                complete |= receiver.Feed(bytes.sliced(cuts[k - 1], cuts[k] - cuts[k - 1]), answer.protocol);
            const QString seen = receiver.hexDisplay() + '|' + receiver.answerDisplay() + '|'
                + QString::number(receiver.answer().phase);
            ASSERT_EQ(seen.toStdString(), expected.toStdString()) << "split " << split;
            ASSERT_EQ(complete, answer.completedBy > 0) << "split " << split;
        }
    }
}

TEST(Receiver, EndlessStreamsKeepOnlyTheirExactTails)
{
    const qsizetype chunkSizes[] = { 1, 3, 64, 7001, 1, 400'000 }; // one beyond all that is kept
    for (const auto& [protocol, completes] : { std::pair { 5, true }, { 0, false } }) {
        SCOPED_TRACE(protocol);
        QByteArray stream(protocol == 0 ? 1 : 0, 0x06); // an ACK that never ends
        for (qsizetype i = 0; stream.size() < 1'000'000; ++i)
            if (protocol != 0 || (i % 251 != 0x03 && i % 251 != 0x06 && i % 251 != 0x15))
                stream.append(char(i % 251));
        Receiver receiver;
        bool complete = false;
        for (qsizetype from = 0, i = 0; from < stream.size(); from += chunkSizes[i++ % 6])
            complete |= receiver.Feed(stream.mid(from, chunkSizes[i % 6]), protocol);
        EXPECT_EQ(complete, completes);
        EXPECT_EQ(receiver.hexDisplay(), HexText(stream.last(kHexDisplayLimit / 3)));
        EXPECT_EQ(receiver.answerDisplay(), RenderAnswerText(stream.last(kAnswerTextLimit)));
        EXPECT_EQ(receiver.answer().text.bytes(), stream.last(kAnswerTextLimit));
    }
}
