// SPDX-License-Identifier: MIT
#include "memos/MemoBodyEdit.h"

#include <QImage>
#include <QMimeData>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QUrl>

MemoBodyEdit::MemoBodyEdit(QWidget *parent)
    : QTextEdit(parent) {}

bool MemoBodyEdit::canInsertFromMimeData(const QMimeData *source) const {
    return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

void MemoBodyEdit::insertFromMimeData(const QMimeData *source) {
    // A copied image usually comes with HTML that only links to it: the
    // picture itself is what the user means to keep.
    if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!image.isNull()) {
            insertPicture(image);
            return;
        }
    }
    QTextEdit::insertFromMimeData(source);
}

void MemoBodyEdit::insertPicture(const QImage &image) {
    const QUrl name(QStringLiteral("memo-picture:pasted-%1").arg(++m_pictures));
    document()->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    const int room = qMax(16, viewport()->width() - 2 * int(document()->documentMargin()) - 4);
    if (image.width() > room) {
        format.setWidth(room);
        format.setHeight(double(image.height()) * room / image.width());
    } else {
        format.setWidth(image.width());
        format.setHeight(image.height());
    }
    textCursor().insertImage(format);
}
