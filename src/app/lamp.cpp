#include "app/lamp.h"

#include <QPainter>

Lamp::Lamp(QWidget* parent) : QWidget(parent) { }

void Lamp::setFillColor(const QColor& color)
{
    if (color == fill_)
        return;
    fill_ = color;
    update();
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(192, 192, 192), 2));
    painter.setBrush(fill_);
    const int side = qMin(width(), height()) - 2;
    painter.drawEllipse(QRectF(1, 1, side, side));
}
