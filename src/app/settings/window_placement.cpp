#include "app/settings/window_placement.h"

#include <algorithm>

namespace {

// How much of the window's top edge must lie on one screen for the operator to grab it.
constexpr int kGrabWidth = 48;
constexpr int kGrabHeight = 24;

bool Reachable(const QRect& window, const QRect& screen)
{
    const QRect top(window.left(), window.top(), window.width(), std::min(window.height(), kGrabHeight));
    const QRect shown = top.intersected(screen);
    return shown.width() >= std::min(kGrabWidth, window.width()) && shown.height() >= top.height();
}

qint64 SquaredDistance(const QRect& window, const QRect& screen)
{
    const QPoint offset = window.center() - screen.center();
    return qint64(offset.x()) * offset.x() + qint64(offset.y()) * offset.y();
}

} // namespace

QRect PlaceOnScreens(const QRect& window, const QList<QRect>& screens)
{
    if (screens.isEmpty() || std::any_of(screens.begin(), screens.end(), [&](const QRect& s) {
            return Reachable(window, s);
        }))
        return window;
    const QRect nearest = *std::min_element(screens.begin(), screens.end(), [&](const QRect& a, const QRect& b) {
        return SquaredDistance(window, a) < SquaredDistance(window, b);
    });
    const QSize size = window.size().boundedTo(nearest.size());
    const int left = std::clamp(window.left(), nearest.left(), nearest.right() + 1 - size.width());
    const int top = std::clamp(window.top(), nearest.top(), nearest.bottom() + 1 - size.height());
    return {QPoint(left, top), size};
}

bool FrameIsKnown(QSize decoration)
{
    return decoration.width() > 0 || decoration.height() > 0;
}
