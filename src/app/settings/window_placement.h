#pragma once

#include <QList>
#include <QRect>

// Where a window restored from durnix.ini goes when no screen shows it (its monitor was
// unplugged, or the desktop shrank): onto the nearest screen, its size kept where it fits and
// cut to the screen where it does not. A window that a screen shows well enough to be caught by
// its title bar stays where it is. `screens` are the screens' available areas.
QRect PlaceOnScreens(const QRect& window, const QList<QRect>& screens);
