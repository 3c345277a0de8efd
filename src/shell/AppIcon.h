// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

/// One shape of the program's icon, in a square of side 1.
struct IconShape {
    QRectF rect;
    qreal cornerRadius = 0;
    QColor colour;
};

/// The program's icon as shapes: a narrow board, the dark clock strip over
/// the light file box. The window, the tray and the installed theme icons
/// (PNG and SVG) are all drawn from these.
std::vector<IconShape> appIconShapes();

/// The icon rendered at one pixel size, transparent around the board.
QImage appIconImage(int size);

/// The icon as an SVG document.
QString appIconSvg();

/// The program's icon: the board and the tray show it.
QIcon appIcon();
