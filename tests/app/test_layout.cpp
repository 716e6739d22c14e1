// The window's layout as the operator resizes it: the two lower frames follow the width, the answer takes
// the height, and the stretched controls keep their last size below the smallest that is applied.
#include "app/twips.h"
#include "form_harness.h"

namespace
{

// One resize after another, in twips: the inner width and outer height given, then the frames' width,
// the stretched controls' width, the height of the "Response" frame and that of the answer in it.
// Each row starts from the sizes the row before left.
struct Resize {
    const char* name;
    int width, outerHeight;
    int frames, stretched, response, answer;
};

const Resize kResizes[] = {
    { "design width", 5865, 7020, 5865, 5625, 1200, 540 },
    { "taller", 5865, 8220, 5865, 5625, 2400, 1740 },
    { "wider", 9000, 8220, 9000, 8760, 2400, 1740 },
    { "too narrow to stretch", 330, 8220, 330, 8760, 2400, 1740 },
    { "just wide enough", 345, 8220, 345, 105, 2400, 1740 },
    { "too short for the frame", 5865, 5910, 5865, 5625, 2400, 1740 },
    { "frame just applies, answer not", 5865, 5925, 5865, 5625, 105, 1740 },
    { "too short for the answer", 5865, 6570, 5865, 5625, 750, 1740 },
    { "answer just applies", 5865, 6585, 5865, 5625, 765, 105 },
    { "minimised", 0, 0, 0, 5625, 765, 105 },
    { "restored", 5865, 7020, 5865, 5625, 1200, 540 },
};

QString Place(const QString& name, const QRect& r)
{
    return QString("%1 %2,%3 %4x%5").arg(name).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

using WindowLayout = StartedForm;

} // namespace

TEST_F(WindowLayout, ResizingTheWindowStretchesTheLowerFramesAndTheirWideControlsOnly)
{
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    const int decoration = f.frameGeometry().height() - f.height(); // title bar and borders
    ASSERT_GT(decoration, 0) << "the outer height must be known";
    for (const Resize& r : kResizes) {
        SCOPED_TRACE(r.name);
        const QSize inner(TwipsToPixels(r.width), std::max(0, TwipsToPixels(r.outerHeight) - decoration));
        f.resize(inner);
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.size() == inner; }, 1000));
        const std::pair<QWidget*, QRect> expected[] = {
            { f.Frame1, TwipsRect(0, 0, 2952, 2268) },
            { f.Frame2, TwipsRect(3000, 960, 2772, 1332) },
            { f.Frame3, TwipsRect(3000, 0, 2772, 912) },
            { f.Frame4, TwipsRect(0, 2340, r.frames, 3072) },
            { f.TextOutput, TwipsRect(120, 1440, r.stretched, 396) },
            { f.TextOutputhex, TwipsRect(120, 1920, r.stretched, 252) },
            { f.CommandSend, TwipsRect(120, 2280, r.stretched, 615) },
            { f.Frame5, TwipsRect(0, 5460, r.frames, r.response) },
            { f.TextInputHex, TwipsRect(120, 240, r.stretched, 252) },
            { f.TextInput, TwipsRect(120, 540, r.stretched, r.answer) },
        };
        QStringList places, wanted;
        for (const auto& [control, rect] : expected) {
            places << Place(control->objectName(), control->geometry());
            wanted << Place(control->objectName(), rect);
        }
        EXPECT_EQ(places, wanted);
    }
}
