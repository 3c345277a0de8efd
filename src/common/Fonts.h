// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

/// The Song face the board is designed in ("宋体"/"SimSun") does not exist on
/// Linux; it is substituted by the Noto CJK faces. Call before the first
/// text is drawn.
void installFontSubstitutions();

/// "宋体" at pointSize, bold when asked (thickened from the regular cut).
QFont songFont(double pointSize, bool bold = false);
