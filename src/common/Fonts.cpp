// SPDX-License-Identifier: MIT
#include "common/Fonts.h"

#include <QStringList>

void installFontSubstitutions() {
    const QStringList faces = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("Noto Serif CJK"), QStringLiteral("Noto Sans CJK")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
}

QFont songFont(double pointSize, bool bold) {
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    // The Song face has no bold cut of its own; bold Song is drawn by
    // thickening the regular one. Asking for the regular cut keeps that look
    // and spares the board a second 25 MB font collection.
    if (bold)
        font.setStyleName(QStringLiteral("Regular"));
    return font;
}
