// SPDX-License-Identifier: MIT
// The clock's time label places glyphs it looked up once; what it paints
// must be, pixel for pixel, what a plain label paints for the same text.
#include "board/ClockTimeLabel.h"
#include "common/Fonts.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace {
void dress(QLabel &label, const QFont &font, bool enabled = true, QSize size = QSize(160, 47)) {
    label.setFont(font);
    label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::yellow);
    palette.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setEnabled(enabled);
    label.resize(size);
}

template <typename Label>
QImage paintedBy(const QString &text, const QFont &font, bool enabled = true, QSize size = QSize(160, 47)) {
    Label label;
    dress(label, font, enabled, size);
    label.setText(text);
    return label.grab().toImage();
}
} // namespace

class tst_ClockTimeLabel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    void paintsWhatAPlainLabelPaints_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QFont>("font");
        // Every ordered pair of digits side by side and next to a colon.
        for (int first = 0; first < 10; ++first) {
            for (int second = 0; second < 10; ++second) {
                const QString a = QString::number(first);
                const QString b = QString::number(second);
                const QString text = a + b + u':' + b + a + u':' + a + b;
                QTest::newRow(qPrintable(text)) << text << songFont(24, true);
            }
        }
        QTest::newRow("regular face") << QStringLiteral("23:59:58") << songFont(24);
        QTest::newRow("small") << QStringLiteral("07:08:09") << songFont(10.5);
        // Painted the plain way: other characters, nothing, a colon alone.
        QTest::newRow("letters") << QStringLiteral("12:3a:45") << songFont(24, true);
        QTest::newRow("Chinese") << QStringLiteral("未启用") << songFont(24, true);
        QTest::newRow("empty") << QString() << songFont(24, true);
        QTest::newRow("colon") << QStringLiteral(":") << songFont(24, true);
    }
    void paintsWhatAPlainLabelPaints() {
        QFETCH(QString, text);
        QFETCH(QFont, font);
        QCOMPARE(paintedBy<ClockTimeLabel>(text, font), paintedBy<QLabel>(text, font));
    }

    // What it looked up once is looked up again when the font or the size
    // changes; a disabled label is painted the plain way.
    void followsItsFontSizeAndState() {
        const QString time = QStringLiteral("12:34:56");
        ClockTimeLabel label;
        dress(label, songFont(24, true));
        label.setText(time);
        QCOMPARE(label.grab().toImage(), paintedBy<QLabel>(time, songFont(24, true)));
        label.setFont(songFont(12));
        QCOMPARE(label.grab().toImage(), paintedBy<QLabel>(time, songFont(12)));
        label.resize(200, 90);
        QCOMPARE(label.grab().toImage(), paintedBy<QLabel>(time, songFont(12), true, QSize(200, 90)));
        QCOMPARE(paintedBy<ClockTimeLabel>(time, songFont(24, true), false),
                 paintedBy<QLabel>(time, songFont(24, true), false));
    }
};

QTEST_MAIN(tst_ClockTimeLabel)
#include "tst_ClockTimeLabel.moc"
