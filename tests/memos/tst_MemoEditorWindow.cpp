// SPDX-License-Identifier: MIT
#include "common/Fonts.h"
#include "memos/MemoEditorWindow.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

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
        QCOMPARE(editor.height(), 512); // 7680 twips
        QVERIFY(editor.body()->isReadOnly());
        // A memo without a record opens with no period; saving asks for one.
        editor.findChild<QLineEdit *>(QStringLiteral("Text1(1)"))->setText(QStringLiteral("t"));
        editor.save();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M0")), QString());
    }
};

QTEST_MAIN(tst_MemoEditorWindow)
#include "tst_MemoEditorWindow.moc"
