#pragma once

#include <QList>
#include <QRect>
#include <optional>

// Where a window restored from durnix.ini goes when no screen shows it (its monitor was
// unplugged, or the desktop shrank): onto the nearest screen, its size kept where it fits and
// cut to the screen where it does not. A window that a screen shows well enough to be caught by
// its title bar stays where it is. `screens` are the screens' available areas.
QRect PlaceOnScreens(const QRect& window, const QList<QRect>& screens);

// The outer size durnix.ini gives the window, fitted round the window's frame. Only the sides the file gives
// are fitted; the other keeps the design's inner size.
struct OuterSizeFit {
    std::optional<int> width, height;
    std::optional<QSize> fitted; // the inner size the last fit gave the window
};

// Whether the window manager has framed the window, from its decoration (outer minus inner size): a title
// bar with no side borders shows it as well as a full frame. Where no manager frames the window it never is.
bool FrameIsKnown(QSize decoration);
