#pragma once

#include <QColor>
#include <QWidget>

// A status lamp: a filled circle with a light grey border two pixels wide.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget* parent = nullptr);
    void setFillColor(const QColor& color);
    QColor fillColor() const { return fill_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_ = Qt::black;
};
