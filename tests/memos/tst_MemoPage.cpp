// SPDX-License-Identifier: MIT
#include "common/Fonts.h"
#include "common/StatusLine.h"
#include "memos/MemoPage.h"
#include "memos/MemoSlots.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

class tst_MemoPage : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        SettingsFile settings{dir.path()};
        MemoSlots slots;
        RecordingStatus status;
        QWidget host;
        MemoPage page{slots, status, settings.AppFolder(), &host};
        bool exposed = false;

        Fixture() {
            const QString memo = QStringLiteral("MEMO");
            settings.WriteSetting(memo, QStringLiteral("M2"), QStringLiteral("1|周|3|18:00:00|例会"));
            settings.WriteSetting(memo, QStringLiteral("M4"), QStringLiteral("1|日|1|07:00:00|晨练"));
            settings.WriteSetting(memo, QStringLiteral("M5"), QStringLiteral("0|月|1|07:00:00|停用"));
            writeBytes(dir.filePath(QStringLiteral("M2.rtf")), "{\\rtf1 body of two\\par}");
            slots.LoadMemos(settings);
            host.resize(313, 700);
            page.resize(313, 700);
            host.show();
            exposed = QTest::qWaitForWindowExposed(&host);
        }
        QLabel *label(const QString &name) { return page.findChild<QLabel *>(name); }
    };

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    void rowsMirrorTheSlots() {
        Fixture f;
        QCOMPARE(f.label(QStringLiteral("LabTime(2)"))->text(), QStringLiteral("18:00:00"));
        QCOMPARE(f.label(QStringLiteral("LabTime(2)"))->toolTip(), QStringLiteral("3"));
        QCOMPARE(f.label(QStringLiteral("LabCall(2)"))->text(), QStringLiteral("例会"));
        QCOMPARE(f.label(QStringLiteral("LabTime(0)"))->text(), QStringLiteral("未启用"));
        QCheckBox *check = f.page.findChild<QCheckBox *>(QStringLiteral("Ck1(2)"));
        QVERIFY(check->isChecked());
        QCOMPARE(check->text(), QStringLiteral("周"));
        QCOMPARE(f.page.findChild<QCheckBox *>(QStringLiteral("Ck1(8)"))->text(), QStringLiteral("9"));
        // Unticking on the board changes the working copy only.
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(f.slots.slot(2).enabled, 0);
        QCOMPARE(f.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M2")),
                 QStringLiteral("1|周|3|18:00:00|例会"));
    }

    void clickingATitle() {
        Fixture f;
        QTest::mouseClick(f.label(QStringLiteral("LabCall(2)")), Qt::LeftButton);
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(2));
        QCOMPARE(f.page.preview()->toPlainText(), QStringLiteral("body of two"));
        QCOMPARE(f.status.shown.last(), QStringLiteral("便笺[2]提醒时间：3日/周 18:00:00"));

        QTest::mouseClick(f.label(QStringLiteral("LabCall(4)")), Qt::LeftButton);
        QCOMPARE(f.status.shown.last(), QStringLiteral("便笺[4]提醒时间：时/日 07:00:00"));
        QCOMPARE(f.page.preview()->toPlainText(), QString()); // no body file

        // A disabled memo only empties the preview.
        QTest::mouseClick(f.label(QStringLiteral("LabCall(2)")), Qt::LeftButton);
        QTest::mouseClick(f.label(QStringLiteral("LabCall(5)")), Qt::LeftButton);
        QCOMPARE(f.page.preview()->toPlainText(), QString());
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(2));
        QCOMPARE(f.status.shown.size(), 3);
    }

    void doubleClicksOpenTheEditor() {
        Fixture f;
        QSignalSpy editor(&f.page, &MemoPage::editorRequested);
        QTest::mouseDClick(f.page.preview()->viewport(), Qt::LeftButton);
        QTest::mouseDClick(f.label(QStringLiteral("LabTime(4)")), Qt::LeftButton);
        QCOMPARE(editor.size(), 2);
        QCOMPARE(editor[0][0].toInt(), 0); // no memo picked yet: memo 0
        QCOMPARE(editor[0][1].toBool(), true);
        QCOMPARE(editor[1][0].toInt(), 4);
        QCOMPARE(editor[1][1].toBool(), false);
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(4));
    }

    void editButtonMakesItsMemoCurrent() {
        Fixture f;
        QSignalSpy editor(&f.page, &MemoPage::editorRequested);
        QSignalSpy current(&f.slots, &MemoSlots::currentMemoChanged);
        f.page.editCurrentMemo(); // no memo picked yet: memo 0, and it is current now
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(0));
        QCOMPARE(current.size(), 1);
        QCOMPARE(editor.size(), 1);
        QCOMPARE(editor[0][0].toInt(), 0);
        QCOMPARE(editor[0][1].toBool(), false);
        QTest::mouseClick(f.label(QStringLiteral("LabCall(2)")), Qt::LeftButton);
        f.page.editCurrentMemo();
        QCOMPARE(editor[1][0].toInt(), 2);
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(2));
    }

    void hoverHighlightsOneRow() {
        Fixture f;
        QVERIFY(f.exposed);
        const auto moveOver = [&](const QString &name) {
            QLabel *target = f.label(name);
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &move);
        };
        moveOver(QStringLiteral("LabTime(1)"));
        moveOver(QStringLiteral("LabTime(3)"));
        QCOMPARE(f.label(QStringLiteral("LabTime(3)"))->palette().color(QPalette::Window), QColor(Qt::red));
        QVERIFY(f.label(QStringLiteral("LabTime(1)"))->palette().color(QPalette::Window) != QColor(Qt::red));
        moveOver(QStringLiteral("LabCall(3)"));
        QVERIFY(f.label(QStringLiteral("LabTime(3)"))->palette().color(QPalette::Window) != QColor(Qt::red));
    }

    // The period cell is white on black like the rest of the row's left
    // part, and the hover turns the whole cell red, caption included.
    void periodCellTakesTheRowColours() {
        Fixture f;
        QVERIFY(f.exposed);
        QCheckBox *check = f.page.findChild<QCheckBox *>(QStringLiteral("Ck1(2)"));
        // The caption's part of the cell, right of the box.
        const auto captionPart = [&] {
            const QImage image = check->grab().toImage();
            return image.copy(QRect(image.width() / 2, 0, image.width() - image.width() / 2, image.height()));
        };
        const auto dominant = [](const QImage &image) {
            QHash<QRgb, int> counts;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    ++counts[image.pixel(x, y) | 0xFF000000];
            QRgb best = 0;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                if (it.value() > counts.value(best))
                    best = it.key();
            return QColor(best);
        };
        const auto hasLightInk = [](const QImage &image) {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) > 200)
                        return true;
            return false;
        };
        QImage caption = captionPart();
        QCOMPARE(dominant(caption), QColor(Qt::black));
        QVERIFY(hasLightInk(caption)); // the white "周"

        QLabel *time = f.label(QStringLiteral("LabTime(2)"));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), time->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(time, &move);
        caption = captionPart();
        QCOMPARE(dominant(caption), QColor(Qt::red));
        QVERIFY(hasLightInk(caption));
    }

    void previewStretches() {
        Fixture f;
        QCOMPARE(f.page.preview()->height(), 113); // 1695 twips
        f.page.setExpanded(true);
        QCOMPARE(f.page.preview()->height(), 490); // 7353 twips
        f.page.setExpanded(false);
        QCOMPARE(f.page.preview()->height(), 113);
    }
};

QTEST_MAIN(tst_MemoPage)
#include "tst_MemoPage.moc"
