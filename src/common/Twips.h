// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QtMath>

/// Positions and sizes are kept in twips, as the settings store them; the
/// screen shows 15 twips per logical pixel.
namespace Twips {
inline constexpr int kPerPixel = 15;
inline int toPixels(int twips) {
    return qRound(twips / double(kPerPixel));
}
inline constexpr int fromPixels(int pixels) {
    return pixels * kPerPixel;
}
/// A rectangle given in twips, in pixels.
inline QRect rectToPixels(int left, int top, int width, int height) {
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace Twips
