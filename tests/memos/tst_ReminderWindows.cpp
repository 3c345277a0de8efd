// SPDX-License-Identifier: MIT
// The windows of reminders that need an answer: the list of missed ones and
// the view's "稍后提醒".
#include "common/Fonts.h"
#include "memos/MemoEditorWindow.h"
#include "memos/MissedRemindersWindow.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

namespace {

MissedReminder reminder(int number, const char *due, const char *title) {
    return {number, QDateTime::fromString(QString::fromLatin1(due), QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            QString::fromUtf8(title)};
}

QStringList lines(const QListWidget *list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

} // namespace

class tst_ReminderWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    // Newest first; a later batch joins the list, each memo once with its
    // latest time; a click or Enter asks for the memo of that line.
    void missedListOpensTheMemoOfALine() {
        MissedRemindersWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("错过的提醒"));
        window.add({reminder(3, "2026-12-11 08:30:00", "每天"), reminder(1, "2026-12-10 07:00:00", "房租")});
        window.add({reminder(1, "2026-12-09 07:00:00", "房租"), reminder(5, "2026-12-11 08:45:00", "稍后")});
        QCOMPARE(lines(window.list()), (QStringList{QStringLiteral("2026-12-11 08:45:00  便笺[5] 稍后"),
                                                    QStringLiteral("2026-12-11 08:30:00  便笺[3] 每天"),
                                                    QStringLiteral("2026-12-10 07:00:00  便笺[1] 房租")}));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy requested(&window, &MissedRemindersWindow::memoRequested);
        QListWidget *list = window.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested[0][0].toInt(), 1);
        QCOMPARE(list->currentRow(), 2);
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(requested.size(), 2);
        QCOMPARE(requested[1][0].toInt(), 3);
    }

    // The strip sits below the body, which keeps its place; each choice says
    // its minutes and closes the view, by click or by its Alt key.
    void viewOffersSnooze_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("minutes");
        QTest::newRow("5 by click") << QStringLiteral("Snooze5") << 0 << 5;
        QTest::newRow("10 by Alt+0") << QString() << int(Qt::Key_0) << 10;
        QTest::newRow("30 by Alt+3") << QString() << int(Qt::Key_3) << 30;
    }
    void viewOffersSnooze() {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, minutes);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        RecordingDialogs dialogs;
        MemoEditorWindow plain(settings, dialogs, nullptr, 3, true, QString());
        MemoEditorWindow editor(settings, dialogs, nullptr, 3, true, QString());
        editor.offerSnooze();
        const auto frame = [](const MemoEditorWindow &w) {
            return w.findChild<QGroupBox *>(QStringLiteral("Fra1(0)"))->geometry();
        };
        QCOMPARE(frame(editor), frame(plain));
        QCOMPARE(editor.body()->geometry(), plain.body()->geometry());
        QSignalSpy chosen(&editor, &MemoEditorWindow::snoozeChosen);
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        for (const char *name : {"Snooze5", "Snooze10", "Snooze30"}) {
            const QPushButton *b = editor.findChild<QPushButton *>(QString::fromLatin1(name));
            QVERIFY(b && b->isVisible());
            QVERIFY(b->geometry().top() + b->parentWidget()->y() >= frame(editor).bottom());
            QVERIFY(b->parentWidget()->geometry().bottom() < editor.height());
        }
        if (!button.isEmpty())
            editor.findChild<QPushButton *>(button)->click();
        else
            QTest::keyClick(editor.windowHandle(), Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toInt(), minutes);
        QTRY_VERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
    }

    // Tab leads from the read-only body to the choices.
    void snoozeIsReachedByTab() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        RecordingDialogs dialogs;
        MemoEditorWindow editor(settings, dialogs, nullptr, 3, true, QString());
        editor.offerSnooze();
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.body()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor.findChild<QPushButton *>(QStringLiteral("Snooze5")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor.findChild<QPushButton *>(QStringLiteral("Snooze10")));
    }

    // The edit mode's fields stay where they are: no strip over them.
    void editModeOffersNoSnooze() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        RecordingDialogs dialogs;
        MemoEditorWindow editor(settings, dialogs, nullptr, 3, false, QString());
        const int height = editor.height();
        editor.offerSnooze();
        QVERIFY(!editor.findChild<QPushButton *>(QStringLiteral("Snooze5")));
        QCOMPARE(editor.height(), height);
    }
};

QTEST_MAIN(tst_ReminderWindows)
#include "tst_ReminderWindows.moc"
