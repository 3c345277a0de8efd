// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QTextFormat>

/// The pictures of a memo body (\pict groups): what the reader shows of them
/// and what the writer writes back.
namespace RtfPictures {

/// The property of a picture's QTextImageFormat that holds the picture's group
/// as it was read ("{\pict ...}"): the writer writes those bytes back
/// unchanged, so a picture that cannot be shown here is kept all the same.
constexpr int GroupProperty = QTextFormat::UserProperty + 0x5450;

/// How the picture's data is stored (\pngblip, \jpegblip, ...).
enum class Kind { Unknown, Png, Jpeg, Dib, Ddb, Emf, Wmf, Other };

/// A \pict group as read.
struct Picture {
    Kind kind = Kind::Unknown;
    QByteArray data;      // from the hex digits or \bin
    int width = 0;        // \picw: pixels, or 0.01 mm for metafiles
    int height = 0;       // \pich
    int goalWidth = 0;    // \picwgoal: twips
    int goalHeight = 0;   // \pichgoal
    int scaleX = 100;     // \picscalex: percent
    int scaleY = 100;     // \picscaley
    int bitsPerPixel = 1; // \wbmbitspixel
    int widthBytes = 0;   // \wbmwidthbytes
};

/// The picture as an image, or a null image when it is no format shown here
/// (metafiles) or its data is broken.
QImage decode(const Picture &picture);

/// The size to show the picture at, in pixels of 15 twips, for an image of
/// imageSize (or the placeholder's when the picture cannot be shown).
QSizeF displaySize(const Picture &picture, QSize imageSize);

/// The grey stand-in shown for a picture that cannot be shown.
QImage placeholder();

/// A picture group of image as PNG, shown at size pixels (the image's own
/// size when size is empty).
QByteArray pngGroup(const QImage &image, QSizeF size);

} // namespace RtfPictures
