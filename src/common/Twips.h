// SPDX-License-Identifier: MIT
#pragma once

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
} // namespace Twips
