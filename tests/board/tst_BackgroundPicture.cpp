// SPDX-License-Identifier: MIT
#include "board/BackgroundPicture.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace BackgroundPicture;

class tst_BackgroundPicture : public QObject {
    Q_OBJECT

    // A wide picture: left half red, right half blue.
    static QImage halves() {
        QImage picture(200, 50, QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.fillRect(0, 0, 100, 50, Qt::red);
        painter.fillRect(100, 0, 100, 50, Qt::blue);
        return picture;
    }

private Q_SLOTS:
    void chosenJpegIsKeptAsBitmapAndReloadsByContent() {
        QTemporaryDir dir;
        const QString app = dir.path() + u'/';
        SettingsFile settings(app);
        const QString chosen = dir.filePath(QStringLiteral("sea.jpg"));
        QVERIFY(halves().save(chosen, "JPEG"));

        const Applied applied = ApplyBackground(chosen, 1, settings);
        QVERIFY(!applied.notAPicture);
        QCOMPARE(applied.canvas.size(), canvasSize());
        const QString copy = app + QStringLiteral("bj.jpg");
        QVERIFY(readBytes(copy).startsWith("BM")); // bitmap data under a JPEG name
        QCOMPARE(settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_pic")), copy);

        // The next start: the same canvas, stretched over the whole grid.
        const Applied restored = ApplyBackground(copy, 2, settings);
        QCOMPARE(restored.canvas, applied.canvas);
        const QSize size = restored.canvas.size();
        const auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 &&
                   qAbs(a.blue() - b.blue()) < 40;
        };
        QVERIFY(near(restored.canvas.pixelColor(5, size.height() - 5), Qt::red));
        QVERIFY(near(restored.canvas.pixelColor(size.width() - 5, 5), Qt::blue));
    }

    void copyNameTakesTheLastThreeCharacters_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("copy");
        QTest::newRow("jpg") << QStringLiteral("/p/sea.jpg") << QStringLiteral("/a/bj.jpg");
        QTest::newRow("jpeg") << QStringLiteral("/p/photo.jpeg") << QStringLiteral("/a/bj.peg");
        QTest::newRow("BMP") << QStringLiteral("/p/X.BMP") << QStringLiteral("/a/bj.BMP");
    }
    void copyNameTakesTheLastThreeCharacters() {
        QFETCH(QString, chosen);
        QFETCH(QString, copy);
        QCOMPARE(savedCopyPath(QStringLiteral("/a/"), chosen), copy);
    }

    void oddEndingStillLoadsAndEarlierCopiesStay() {
        QTemporaryDir dir;
        const QString app = dir.path() + u'/';
        SettingsFile settings(app);
        writeBytes(app + QStringLiteral("bj.bmp"), "an older copy");
        const QString chosen = dir.filePath(QStringLiteral("photo.jpeg"));
        QVERIFY(halves().save(chosen, "PNG")); // any readable format
        QVERIFY(!ApplyBackground(chosen, 1, settings).canvas.isNull());
        QVERIFY(!loadByContent(app + QStringLiteral("bj.peg")).isNull());
        QCOMPARE(readBytes(app + QStringLiteral("bj.bmp")), QByteArray("an older copy"));
    }

    void notAPictureChangesNothing() {
        QTemporaryDir dir;
        const QString app = dir.path() + u'/';
        SettingsFile settings(app);
        settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_pic"),
                              app + QStringLiteral("bj.gif"));
        const QString chosen = dir.filePath(QStringLiteral("fake.jpg"));
        writeBytes(chosen, "this is text, not a picture");
        const Applied applied = ApplyBackground(chosen, 1, settings);
        QVERIFY(applied.notAPicture);
        QVERIFY(applied.canvas.isNull());
        QVERIFY(!QFileInfo::exists(app + QStringLiteral("bj.jpg")));
        QCOMPARE(settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_pic")),
                 app + QStringLiteral("bj.gif"));
        QVERIFY(ApplyBackground(dir.filePath(QStringLiteral("missing.bmp")), 2, settings).canvas.isNull());
    }

    void tilePartsCoverTheGrid() {
        const QSize canvas = canvasSize();
        QCOMPARE(canvas, QSize(319, 316));
        QCOMPARE(tilePart(canvas, 0), QRect(0, 0, 106, 105));
        QCOMPARE(tilePart(canvas, 5), QRect(212, 105, 106, 105));
        QCOMPARE(tilePart(canvas, 8), QRect(212, 210, 106, 105));
    }
};

QTEST_MAIN(tst_BackgroundPicture)
#include "tst_BackgroundPicture.moc"
