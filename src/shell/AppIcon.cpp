// SPDX-License-Identifier: MIT
#include "shell/AppIcon.h"

#include <QPainter>
#include <QPixmap>

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        // A narrow board: the dark clock strip over the light file box.
        const QRectF board(size * 0.22, size * 0.06, size * 0.56, size * 0.88);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xC0, 0xE0, 0xFF));
        painter.drawRoundedRect(board, size * 0.06, size * 0.06);
        painter.setBrush(QColor(0x40, 0x40, 0x40));
        painter.drawRect(QRectF(board.left(), board.top(), board.width(), board.height() * 0.32));
        painter.setBrush(QColor(0xFF, 0xFF, 0x00));
        painter.drawRect(
            QRectF(board.left() + size * 0.08, board.top() + size * 0.1, board.width() * 0.7, size * 0.08));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
