#include "app/display_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextOption>

DisplayLabel::DisplayLabel(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAutoFillBackground(true);
}

void DisplayLabel::setText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    update();
}

void DisplayLabel::setColors(const QColor& foreground, const QColor& background)
{
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, foreground);
    colors.setColor(QPalette::Window, background);
    setPalette(colors);
}

// Every visible line holds at most as many characters as the narrowest glyph
// allows, so the lines that fit never need more text than this.
QString DisplayLabel::VisiblePrefix() const
{
    const QFontMetrics metrics(font());
    const int narrowest = qMax(1, metrics.horizontalAdvance(QLatin1Char('i')) / 2);
    const int perLine = contentsRect().width() / narrowest + 2;
    const int lines = contentsRect().height() / qMax(1, metrics.lineSpacing()) + 2;
    return text_.left(qsizetype(perLine) * lines);
}

void DisplayLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter.drawText(QRectF(contentsRect().adjusted(1, 0, -1, 0)), VisiblePrefix(), option);
}

void DisplayLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QFrame::mouseReleaseEvent(event);
}
