// SPDX-License-Identifier: MIT
#include "common/Fonts.h"

#include <QStringList>

void installFontSubstitutions() {
    const QStringList faces = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("Noto Serif CJK"), QStringLiteral("Noto Sans CJK")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
    // Bold Song is thickened from the regular cut (below); Qt thickens only
    // below 64 pixels unless told otherwise, and a 24 point clock on a screen
    // scaled to 200 % is 64 pixels. Read when the first font is loaded.
    if (!qEnvironmentVariableIsSet("QT_NO_SYNTHESIZED_BOLD_LIMIT"))
        qputenv("QT_NO_SYNTHESIZED_BOLD_LIMIT", "1");
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
