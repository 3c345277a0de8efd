// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class SettingsFile;

/// The file box's background picture: stretched over a fixed canvas, kept as
/// the program's own bitmap copy "bj." + the chosen name's last three
/// characters, and cut into nine parts, one behind each category tile.
namespace BackgroundPicture {

/// The canvas, 4780 × 4740 twips, in pixels.
QSize canvasSize();
/// AppFolder + "bj." + the last three characters of the chosen path.
QString savedCopyPath(const QString &appFolder, const QString &chosenPath);
/// The picture in path, its format read from its content (a bitmap saved
/// under a JPEG name loads all the same); null when it is no picture.
QImage loadByContent(const QString &path);
/// picture stretched to the whole canvas (the aspect ratio is not kept).
QImage stretchedToCanvas(const QImage &picture);
/// The part of canvas behind tile index (0..8): column index mod 3, row index div 3.
QRect tilePart(const QSize &canvas, int index);

/// What ApplyBackground made of a picture.
struct Applied {
    QImage canvas; // null when nothing is to be shown
    bool notAPicture = false;
};
/// mode 1: a newly chosen picture: stretched, saved as bitmap data at its
/// copy's path, read back, and recorded in FB_pic. mode 2: the saved copy
/// at start-up.
Applied ApplyBackground(const QString &path, int mode, SettingsFile &settings);

} // namespace BackgroundPicture
