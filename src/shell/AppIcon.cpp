// SPDX-License-Identifier: MIT
#include "shell/AppIcon.h"

#include <QPainter>
#include <QPixmap>

std::vector<IconShape> appIconShapes() {
    const QRectF board(0.22, 0.06, 0.56, 0.88);
    return {
        {board, 0.06, QColor(0xC0, 0xE0, 0xFF)},
        {QRectF(board.left(), board.top(), board.width(), board.height() * 0.32), 0,
         QColor(0x40, 0x40, 0x40)},
        {QRectF(board.left() + 0.08, board.top() + 0.1, board.width() * 0.7, 0.08), 0,
         QColor(0xFF, 0xFF, 0x00)},
    };
}

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const IconShape &shape : appIconShapes()) {
        const QRectF rect(shape.rect.x() * size, shape.rect.y() * size, shape.rect.width() * size,
                          shape.rect.height() * size);
        painter.setBrush(shape.colour);
        painter.drawRoundedRect(rect, shape.cornerRadius * size, shape.cornerRadius * size);
    }
    return image;
}

QString appIconSvg() {
    constexpr int kSide = 256;
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                                 "viewBox=\"0 0 %1 %1\">\n")
                      .arg(kSide);
    for (const IconShape &shape : appIconShapes()) {
        svg +=
            QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"/>\n")
                .arg(shape.rect.x() * kSide)
                .arg(shape.rect.y() * kSide)
                .arg(shape.rect.width() * kSide)
                .arg(shape.rect.height() * kSide)
                .arg(shape.cornerRadius * kSide)
                .arg(shape.colour.name());
    }
    return svg + QStringLiteral("</svg>\n");
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    return icon;
}
