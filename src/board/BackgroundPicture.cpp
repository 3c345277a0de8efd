// SPDX-License-Identifier: MIT
#include "board/BackgroundPicture.h"

#include "common/Twips.h"
#include "settings/SettingsFile.h"

#include <QImageReader>
#include <QSaveFile>

namespace BackgroundPicture {
namespace {
constexpr int kCanvasWidthTwips = 4780;
constexpr int kCanvasHeightTwips = 4740;
} // namespace

QSize canvasSize() {
    return QSize(Twips::toPixels(kCanvasWidthTwips), Twips::toPixels(kCanvasHeightTwips));
}

QString savedCopyPath(const QString &appFolder, const QString &chosenPath) {
    return appFolder + QStringLiteral("bj.") + chosenPath.right(3);
}

QImage loadByContent(const QString &path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QImage stretchedToCanvas(const QImage &picture) {
    return picture.scaled(canvasSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QRect tilePart(const QSize &canvas, int index) {
    const int width = canvas.width() / 3;
    const int height = canvas.height() / 3;
    return QRect(width * (index % 3), height * (index / 3), width, height);
}

Applied ApplyBackground(const QString &path, int mode, SettingsFile &settings) {
    Applied applied;
    const QImage picture = loadByContent(path);
    if (picture.isNull()) {
        applied.notAPicture = true;
        return applied;
    }
    if (mode != 1) {
        applied.canvas = picture.size() == canvasSize() ? picture : stretchedToCanvas(picture);
        return applied;
    }
    applied.canvas = stretchedToCanvas(picture);
    const QString copy = savedCopyPath(settings.AppFolder(), path);
    // Written whole or not at all, so that an earlier copy is never left cut short.
    QSaveFile file(copy);
    if (file.open(QIODevice::WriteOnly) && applied.canvas.save(&file, "BMP"))
        file.commit();
    const QImage reloaded = loadByContent(copy);
    if (!reloaded.isNull())
        applied.canvas = reloaded;
    settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_pic"), copy);
    return applied;
}

} // namespace BackgroundPicture
