#pragma once

#include <QFrame>

// A bordered, display-only label for texts that may be long and change often
// (a device can stream for hours). Setting the text never relayouts the window
// and paints at most once per frame; painting lays out only the part of the
// text that fits the label, so its cost does not grow with the text.
class DisplayLabel : public QFrame {
    Q_OBJECT
public:
    explicit DisplayLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    void setColors(const QColor& foreground, const QColor& background);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString VisiblePrefix() const;

    QString text_;
};
