#pragma once

#include <QRect>
#include <cmath>

// Window geometry is designed in twips; Qt's high-dpi scaling maps logical
// pixels onward, at 15 twips to the logical pixel (1,440 per inch at 96 dpi).
inline constexpr double kTwipsPerPixel = 15.0;

inline int TwipsToPixels(double twips) { return int(std::lround(twips / kTwipsPerPixel)); }
inline double PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
