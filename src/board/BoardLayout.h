// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// The board's strips as designed, in twips, top to bottom.
namespace BoardLayout {

struct Strip {
    const char *name;
    int top;
    int height;
};

inline constexpr int kWidth = 4695;
inline constexpr int kFullHeight = 10970;

inline constexpr Strip kClockStrip{"PicBj(1)", 0, 1091};
inline constexpr Strip kMemoHeader{"PicBj(2)", 1080, 375};
inline constexpr Strip kMemoPage{"PicTab(0)", 1440, 3855};
inline constexpr Strip kFileBoxHeader{"PicBj(3)", 5280, 375};
inline constexpr Strip kFileBoxPage{"PicTab(1)", 5640, 5055};
inline constexpr Strip kStatusStrip{"PicBj(0)", 10680, 278};

/// Height with the memo panel closed: the clock strip and the memo header.
inline constexpr int kMemoClosedHeight = kMemoHeader.height + kClockStrip.height - 10;
/// Height with the file box closed: everything down to the file-box header.
inline constexpr int kFileBoxClosedHeight =
    kMemoHeader.height + kMemoPage.height + kFileBoxHeader.height + kClockStrip.height - 25;

/// Category tiles inside the file-box page.
inline constexpr int kTileSize = 1575;
inline constexpr int kTilePitch = 1560;
inline constexpr int kCategoryCount = 9;
inline constexpr int kSafeIndex = 8;

/// Header buttons LabAn(0..8).
inline constexpr int kButtonCount = 9;
inline constexpr int kButtonSize = 375;

/// Glyphs of the state-carrying buttons.
inline const QString kClosedGlyph = QStringLiteral("口");
inline const QString kOpenGlyph = QStringLiteral("X");
inline const QString kFreeGlyph = QStringLiteral("O");
inline const QString kPinnedGlyph = QStringLiteral("一");

} // namespace BoardLayout
