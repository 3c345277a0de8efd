// SPDX-License-Identifier: MIT
// Bold Song is the regular cut thickened. Qt stops thickening at 64 pixels,
// which a 24 point clock reaches on a screen scaled to 200 %: bold must stay
// bold there too.
#include "common/Fonts.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {
int inkOf(const QFont &font) {
    QImage image(900, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(10, 150, QStringLiteral("12:34 文档"));
    painter.end();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    }
    return ink;
}
} // namespace

class tst_Fonts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    void boldStaysBoldAtEverySize_data() {
        QTest::addColumn<int>("pixels");
        for (const int pixels : {14, 32, 63, 64, 96, 128})
            QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(pixels))) << pixels;
    }
    void boldStaysBoldAtEverySize() {
        QFETCH(int, pixels);
        QFont regular = songFont(12);
        regular.setPixelSize(pixels);
        QFont bold = songFont(12, true);
        bold.setPixelSize(pixels);
        const int regularInk = inkOf(regular);
        const int boldInk = inkOf(bold);
        QVERIFY2(boldInk > regularInk * 5 / 4,
                 qPrintable(QStringLiteral("bold %1 px against regular %2 px").arg(boldInk).arg(regularInk)));
    }
};

QTEST_MAIN(tst_Fonts)
#include "tst_Fonts.moc"
