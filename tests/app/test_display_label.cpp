// A display label paints only the part of a long text that can fit, but never less than fits.
#include "app/display_label.h"

#include <gtest/gtest.h>

// The label counts on no character being narrower than half an 'i'; its estimate of the lines that show
// leaves room for a text denser than that. Here letters are joined by invisible word joiners, two and a half
// times as dense: a label one and a half lines high must still show its whole line as a tall label does.
TEST(DisplayLabel, ShowsItsWholeLineOfATextDenserThanItCountsOn)
{
    DisplayLabel label, tall;
    const QFontMetrics metrics = label.fontMetrics();
    const int perGlyph = 5 * metrics.horizontalAdvance('i') / qMax(1, metrics.horizontalAdvance('i') / 2) / 2;
    const QString text = ('i' + QString(perGlyph - 1, QChar(0x2060))).repeated(3000);
    tall.resize(300, 20 * metrics.lineSpacing());
    tall.setText(text);
    label.resize(300, metrics.lineSpacing() * 3 / 2 + 2 * label.frameWidth());
    label.setText(text);
    const QRect line
        = label.contentsRect().adjusted(0, 0, 0, metrics.lineSpacing() - label.contentsRect().height());
    EXPECT_TRUE(label.grab().toImage().copy(line) == tall.grab().toImage().copy(line)) << perGlyph;
}
