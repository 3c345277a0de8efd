// SPDX-License-Identifier: MIT
#include "common/Fonts.h"
#include "memos/MemoEditorWindow.h"
#include "memos/RtfReader.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>
#include <QTextImageFormat>

class tst_MemoEditorWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    void editModeTypingAndSaving() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        RecordingDialogs dialogs;
        MemoEditorWindow editor(settings, dialogs, nullptr, 3, false, QStringLiteral("&H00C0FFFF&"));
        QCOMPARE(editor.windowTitle(), QStringLiteral("便笺 (ALT+F4关闭)"));
        QCOMPARE(editor.height(), 562); // 8430 twips
        QCOMPARE(editor.body()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));
        const auto box = [&](int i) {
            return editor.findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(i));
        };
        QCOMPARE(box(0)->text(), QStringLiteral("3"));
        QVERIFY(box(0)->isReadOnly());

        // The default memo 3 is weekly: only the weekday box is open.
        QVERIFY(box(2)->isEnabled());
        QVERIFY(!box(3)->isEnabled());
        editor.findChild<QRadioButton *>(QStringLiteral("Op1(0)"))->click(); // 按年
        QVERIFY(!box(2)->isEnabled());
        QVERIFY(box(3)->isEnabled() && box(4)->isEnabled());

        box(3)->clear();
        QTest::keyClicks(box(3), QStringLiteral("1a3")); // the letter is swallowed
        QCOMPARE(box(3)->text(), QStringLiteral("12"));
        box(4)->clear();
        QTest::keyClicks(box(4), QStringLiteral("45"));
        QCOMPARE(box(4)->text(), QStringLiteral("31"));
        box(5)->clear();
        QTest::keyClicks(box(5), QStringLiteral("21:5x9:00"));
        QCOMPARE(box(5)->text(), QStringLiteral("21:59:00"));

        QSignalSpy saved(&editor, &MemoEditorWindow::saved);
        editor.body()->setPlainText(QStringLiteral("正文"));
        editor.save();
        QCOMPARE(saved.size(), 1);
        QCOMPARE(settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M3")),
                 QStringLiteral("0|年|12-31|21:59:00|双击左边时间编辑便笺……"));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("M3.rtf"))));
    }

    void viewModeShowsOnlyTheBody() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        RecordingDialogs dialogs;
        MemoEditorWindow editor(settings, dialogs, nullptr, 0, true, QString());
        QCOMPARE(editor.height(), 489); // the content frame's 7335 twips: with the title bar, 7680
        QVERIFY(editor.body()->isReadOnly());
        // A memo without a record opens with no period; saving asks for one.
        editor.findChild<QLineEdit *>(QStringLiteral("Text1(1)"))->setText(QStringLiteral("t"));
        editor.save();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M0")), QString());
    }

    // Enter in any field, or on the read-only body of the view, must neither
    // empty the body nor save: no button is a default button.
    void enterNeverClearsOrSaves_data() {
        QTest::addColumn<bool>("viewMode");
        QTest::addColumn<QString>("target");
        for (int i = 1; i <= 5; ++i)
            QTest::newRow(qPrintable(QStringLiteral("Text1(%1)").arg(i)))
                << false << QStringLiteral("Text1(%1)").arg(i);
        QTest::newRow("view mode body") << true << QStringLiteral("EditMemo");
    }
    void enterNeverClearsOrSaves() {
        QFETCH(bool, viewMode);
        QFETCH(QString, target);
        Editor e(viewMode);
        QWidget *widget = e.editor.findChild<QWidget *>(target);
        QVERIFY(widget);
        for (QPushButton *button : e.editor.findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->text()));
        widget->setEnabled(true);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
        QTest::keyClick(widget, Qt::Key_Enter);
        QCOMPARE(e.editor.body()->toPlainText(), QStringLiteral("正文第一行"));
        QVERIFY(e.editor.isVisible());
        QVERIFY(e.dialogs.shown.isEmpty());
        QCOMPARE(e.balloons.shown, QStringList());
    }

    void escapeKeepsTheEditorAndItsText() {
        Editor e(false);
        e.editor.body()->moveCursor(QTextCursor::End);
        QTest::keyClicks(e.editor.body(), QStringLiteral(" typed"));
        QTest::keyClick(e.editor.body(), Qt::Key_Escape);
        QTest::keyClick(e.box(1), Qt::Key_Escape);
        QVERIFY(e.editor.isVisible());
        QCOMPARE(e.editor.body()->toPlainText(), QStringLiteral("正文第一行 typed"));
    }

    void clearActsOnItsButtonAndMnemonicAndCanBeUndone() {
        Editor e(false);
        e.box(1)->setFocus();
        QTest::keyClick(e.editor.windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(e.editor.body()->toPlainText().isEmpty()); // a mnemonic clicks after a short flash
        e.editor.body()->undo();
        QCOMPARE(e.editor.body()->toPlainText(), QStringLiteral("正文第一行"));
        e.editor.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
        QVERIFY(e.editor.body()->toPlainText().isEmpty());
    }

    // The filtered boxes take Tab, the clipboard and undo like any box, and
    // keep only their characters whichever way text arrives.
    void filteredBoxesKeepControlKeysAndFilterPastes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("result");
        QTest::newRow("weekday") << 2 << QStringLiteral("x3y") << QStringLiteral("3");
        QTest::newRow("weekday, 8 is no weekday") << 2 << QStringLiteral("85") << QStringLiteral("5");
        QTest::newRow("month") << 3 << QStringLiteral("ab1\n1") << QStringLiteral("11");
        QTest::newRow("month clamped") << 3 << QStringLiteral("m13") << QStringLiteral("12");
        QTest::newRow("day, full-width digits") << 4 << QStringLiteral("２８日") << QStringLiteral("28");
        QTest::newRow("time") << 5 << QStringLiteral(" 21:5９:00 abc") << QStringLiteral("21:59:00");
        QTest::newRow("time, too long") << 5 << QStringLiteral("21:59:00:00") << QStringLiteral("21:59:00");
    }
    void filteredBoxesKeepControlKeysAndFilterPastes() {
        QFETCH(int, index);
        QFETCH(QString, pasted);
        QFETCH(QString, result);
        Editor e(false);
        QLineEdit *box = e.box(index);
        box->setEnabled(true);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), box->text());
        QTest::keyClick(box, Qt::Key_Delete);
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), result);

        // The same through an input method's commit.
        box->clear();
        QInputMethodEvent commit;
        commit.setCommitString(pasted);
        QApplication::sendEvent(box, &commit);
        QCOMPARE(box->text(), result);

        // Copy, cut and undo.
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), result);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(box->text().isEmpty());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), result);

        // Tab moves on.
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(!box->hasFocus());
    }

    void aRecordThatCannotBeStoredIsNoSuccess() {
        Editor e(false);
        // setup.ini cannot be replaced: a folder stands in its place.
        QVERIFY(QFile::remove(e.settings.path()));
        QVERIFY(QDir().mkdir(e.settings.path()));
        QSignalSpy saved(&e.editor, &MemoEditorWindow::saved);
        e.editor.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCOMPARE(saved.size(), 0);
        QCOMPARE(e.balloons.shown, QStringList());
        QCOMPARE(e.dialogs.shown.size(), 1);
        QVERIFY2(e.dialogs.shown[0].text.startsWith(QStringLiteral("便笺[3]的提醒设定未能保存到setup.ini！")),
                 qPrintable(e.dialogs.shown[0].text));
        QCOMPARE(e.dialogs.shown[0].icon, MessageIcon::Warning);
        // The body file went its own way and is there.
        QVERIFY(QFileInfo(e.dir.filePath(QStringLiteral("M3.rtf"))).isFile());
    }

    void viewModeHidesTheFieldsAndTheirMnemonics() {
        Editor e(true);
        QVERIFY(!e.editor.findChild<QGroupBox *>(QStringLiteral("Fra1(1)"))->isVisible());
        for (QPushButton *button : e.editor.findChildren<QPushButton *>())
            QVERIFY(!button->isVisible());
        QTest::keyClick(e.editor.windowHandle(), Qt::Key_C, Qt::AltModifier);
        QTest::keyClick(e.editor.windowHandle(), Qt::Key_S, Qt::AltModifier);
        QTest::qWait(300); // longer than a mnemonic's flash
        QCOMPARE(e.editor.body()->toPlainText(), QStringLiteral("正文第一行"));
        QCOMPARE(e.balloons.shown, QStringList());
        // Nothing below the content frame is within the window.
        const QGroupBox *content = e.editor.findChild<QGroupBox *>(QStringLiteral("Fra1(0)"));
        QVERIFY(e.editor.height() <= content->geometry().bottom() + 1);
    }

    // A screenshot pasted with the right mouse button is kept in the body
    // and stored as a picture that comes back with the body.
    void pastedPictureIsSavedWithTheBody() {
        Editor e(false);
        QImage picture(24, 12, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 40));
        QApplication::clipboard()->setImage(picture);
        e.editor.body()->moveCursor(QTextCursor::End);
        QTest::mouseClick(e.editor.body()->viewport(), Qt::RightButton);
        QCOMPARE(pictureIn(*e.editor.body()->document()).size(), picture.size());
        e.editor.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        const QByteArray stored = readBytes(e.dir.filePath(QStringLiteral("M3.rtf")));
        QVERIFY(stored.contains("\\pngblip"));
        QVERIFY(!stored.contains("\\u-4?"));
        QTextDocument back;
        RtfReader::read(stored, back);
        QCOMPARE(back.toPlainText().left(5), QStringLiteral("正文第一行"));
        const QImage read = pictureIn(back);
        QCOMPARE(read.size(), picture.size());
        QCOMPARE(read.pixelColor(5, 5), QColor(200, 30, 40));
    }

    // A lunar birthday set in the window: the month and day boxes are read
    // as the lunar month and day, the note tells where it falls, and the
    // window shows it again when reopened. Dates from liblunar-date:
    // 2023-04-19 is 闰二月廿九 of 2023, a leap month of 29 days.
    void lunarYearlyMemoIsSavedAndShownAgain() {
        const QDate today(2023, 3, 1);
        const QString note = QStringLiteral("[编辑区] 农历闰二月三十，下次：2023-04-19；"
                                            "无此闰月之年按二月三十提醒；该月只有29天时按廿九提醒");
        Editor e(false);
        e.editor.setToday(today);
        e.editor.findChild<QRadioButton *>(QStringLiteral("Op1(0)"))->click(); // 按年
        QCheckBox *lunar = e.check(QStringLiteral("Lunar"));
        QCheckBox *leap = e.check(QStringLiteral("LeapMonth"));
        QVERIFY(lunar && leap);
        QVERIFY(lunar->isVisible() && lunar->isEnabled() && !lunar->isChecked());
        QVERIFY(!leap->isEnabled()); // a leap month of what is no lunar date
        QCOMPARE(e.fieldFrame()->title(), QStringLiteral("[编辑区]"));

        lunar->click();
        QVERIFY(leap->isEnabled());
        leap->click();
        e.box(3)->clear();
        QTest::keyClicks(e.box(3), QStringLiteral("2"));
        e.box(4)->clear();
        QTest::keyClicks(e.box(4), QStringLiteral("31"));
        QCOMPARE(e.box(4)->text(), QStringLiteral("30")); // no lunar month has 31 days
        QCOMPARE(e.fieldFrame()->title(), note);
        QCOMPARE(lunar->toolTip(), note.mid(6));
        // Whole in sight: beside the time box, the note on the frame's top line.
        for (QCheckBox *check : {lunar, leap}) {
            QVERIFY2(check->width() >= check->sizeHint().width(), qPrintable(check->text()));
            QVERIFY(e.fieldFrame()->rect().contains(check->geometry()));
        }
        QVERIFY(!lunar->geometry().intersects(e.box(5)->geometry()));
        QVERIFY(!lunar->geometry().intersects(leap->geometry()));
        QVERIFY(e.fieldFrame()->fontMetrics().horizontalAdvance(note) < e.fieldFrame()->width());

        e.editor.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCOMPARE(e.dialogs.shown.size(), 0);
        QCOMPARE(e.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("L3")),
                 QStringLiteral("闰02-30"));
        QCOMPARE(e.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M3")),
                 QStringLiteral("0|年|04-19|00:00:00|双击左边时间编辑便笺……"));

        MemoEditorWindow reopened(e.settings, e.dialogs, nullptr, 3, false, QString());
        reopened.setToday(today);
        const auto reopenedBox = [&](int i) {
            return reopened.findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(i));
        };
        QVERIFY(reopened.findChild<QRadioButton *>(QStringLiteral("Op1(0)"))->isChecked());
        QCheckBox *lunarAgain = reopened.findChild<QCheckBox *>(QStringLiteral("Lunar"));
        QCheckBox *leapAgain = reopened.findChild<QCheckBox *>(QStringLiteral("LeapMonth"));
        QVERIFY(lunarAgain && leapAgain);
        QVERIFY(lunarAgain->isChecked() && !lunarAgain->isHidden());
        QVERIFY(leapAgain->isChecked() && leapAgain->isEnabled());
        QCOMPARE(reopenedBox(3)->text(), QStringLiteral("02"));
        QCOMPARE(reopenedBox(4)->text(), QStringLiteral("30"));
        QCOMPARE(reopened.findChild<QGroupBox *>(QStringLiteral("Fra1(1)"))->title(), note);

        // Unticked, the boxes are a Gregorian day again and the lunar key goes.
        lunarAgain->click();
        QVERIFY(!leapAgain->isEnabled());
        QCOMPARE(reopened.findChild<QGroupBox *>(QStringLiteral("Fra1(1)"))->title(),
                 QStringLiteral("[编辑区]"));
        reopened.save();
        QCOMPARE(e.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("L3")), QString());
        QCOMPARE(e.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M3")),
                 QStringLiteral("0|年|02-30|00:00:00|双击左边时间编辑便笺……"));
    }

    // Only a yearly memo can be lunar: for the other periods, and in the
    // view, the lunar boxes are out of sight and their mnemonics do nothing.
    void lunarBoxesOnlyForYearlyMemos_data() {
        QTest::addColumn<bool>("viewMode");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("shown");
        QTest::newRow("按年") << false << 0 << true;
        QTest::newRow("按季") << false << 1 << false;
        QTest::newRow("按月") << false << 2 << false;
        QTest::newRow("按日") << false << 3 << false;
        QTest::newRow("按周") << false << 4 << false;
        QTest::newRow("view of a lunar memo") << true << -1 << false;
    }
    void lunarBoxesOnlyForYearlyMemos() {
        QFETCH(bool, viewMode);
        QFETCH(int, option);
        QFETCH(bool, shown);
        Editor e(viewMode, QStringLiteral("01-01"));
        if (option >= 0)
            e.editor.findChild<QRadioButton *>(QStringLiteral("Op1(%1)").arg(option))->click();
        QCheckBox *lunar = e.check(QStringLiteral("Lunar"));
        QCheckBox *leap = e.check(QStringLiteral("LeapMonth"));
        QVERIFY(lunar && leap);
        QCOMPARE(lunar->isVisible(), shown);
        QCOMPARE(leap->isVisible(), shown);
        if (!viewMode)
            QCOMPARE(e.fieldFrame()->title().contains(QStringLiteral("农历正月初一")), shown);

        e.box(1)->setFocus();
        QTest::keyClick(e.editor.windowHandle(), Qt::Key_N, Qt::AltModifier);
        if (shown)
            QTRY_VERIFY(!lunar->isChecked()); // a mnemonic clicks after a short flash
        QTest::qWait(300);
        QCOMPARE(lunar->isChecked(), !shown);
        QCOMPARE(e.editor.form().lunar, !shown);
    }

    // The lunar boxes follow the time box in the Tab order and answer to
    // their own mnemonics; no two buttons of the window share one.
    void lunarBoxesAreReachedByKeyboard() {
        Editor e(false, QStringLiteral("04-29"));
        QCheckBox *lunar = e.check(QStringLiteral("Lunar"));
        QCheckBox *leap = e.check(QStringLiteral("LeapMonth"));
        QVERIFY(lunar && leap);
        QVERIFY(lunar->isChecked() && !leap->isChecked());
        e.box(5)->setFocus();
        QTest::keyClick(e.box(5), Qt::Key_Tab);
        QVERIFY(lunar->hasFocus());
        QTest::keyClick(lunar, Qt::Key_Tab);
        QVERIFY(leap->hasFocus());
        QTest::keyClick(leap, Qt::Key_Space);
        QVERIFY(leap->isChecked());
        QVERIFY(e.fieldFrame()->title().contains(QStringLiteral("农历闰四月廿九")));

        e.box(1)->setFocus();
        QTest::keyClick(e.editor.windowHandle(), Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(!leap->isChecked());
        QTest::keyClick(e.editor.windowHandle(), Qt::Key_N, Qt::AltModifier);
        QTRY_VERIFY(!lunar->isChecked());
        QVERIFY(!leap->isEnabled());
        QCOMPARE(e.fieldFrame()->title(), QStringLiteral("[编辑区]"));

        QSet<QString> mnemonics;
        for (const QAbstractButton *button : e.editor.findChildren<QAbstractButton *>()) {
            const QString key = QKeySequence::mnemonic(button->text()).toString();
            if (key.isEmpty())
                continue;
            QVERIFY2(!mnemonics.contains(key), qPrintable(button->text()));
            mnemonics.insert(key);
        }
        QVERIFY(mnemonics.contains(QStringLiteral("Alt+N")) && mnemonics.contains(QStringLiteral("Alt+R")));
    }

private:
    // The first picture of document, as it shows it.
    static QImage pictureIn(const QTextDocument &document) {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QVariant resource =
                    document.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
                return resource.typeId() == QMetaType::QPixmap ? qvariant_cast<QPixmap>(resource).toImage()
                                                               : qvariant_cast<QImage>(resource);
            }
        }
        return QImage();
    }

    // A shown editor on memo 3 with a body, as the user meets it.
    struct Editor {
        QTemporaryDir dir;
        SettingsFile settings{dir.path()};
        RecordingDialogs dialogs;
        RecordingBalloons balloons;
        MemoEditorWindow editor;
        // lunarDay: memo 3 is a yearly memo on that lunar day.
        explicit Editor(bool viewMode, const QString &lunarDay = QString())
            : editor((writeDefaults(settings, dir, lunarDay), settings), dialogs, &balloons, 3, viewMode,
                     QString()) {
            editor.show();
            QVERIFY(QTest::qWaitForWindowExposed(&editor));
            editor.activateWindow();
            // Mnemonics need the active window, as for the user.
            QVERIFY(QTest::qWaitForWindowActive(&editor));
        }
        static bool writeDefaults(const SettingsFile &settings, const QTemporaryDir &dir,
                                  const QString &lunarDay) {
            writeDefaultSettings(settings);
            if (!lunarDay.isEmpty()) {
                settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M3"),
                                      QStringLiteral("1|年|02-17|08:00:00|生日"));
                settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("L3"), lunarDay);
            }
            writeBytes(dir.filePath(QStringLiteral("M3.rtf")),
                       "{\\rtf1\\ansi\\ansicpg936 \\'d5\\'fd\\'ce\\'c4"
                       "\\'b5\\'da\\'d2\\'bb\\'d0\\'d0\\par}");
            return true;
        }
        QLineEdit *box(int i) { return editor.findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(i)); }
        QCheckBox *check(const QString &name) { return editor.findChild<QCheckBox *>(name); }
        QGroupBox *fieldFrame() { return editor.findChild<QGroupBox *>(QStringLiteral("Fra1(1)")); }
    };
};

QTEST_MAIN(tst_MemoEditorWindow)
#include "tst_MemoEditorWindow.moc"
