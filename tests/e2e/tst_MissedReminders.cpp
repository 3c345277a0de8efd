// SPDX-License-Identifier: MIT
// Reminders missed while the program was not running, on the real program
// with its clock faked later (libfaketime), and a snooze through restarts.
#include "settings/SettingsFile.h"

#include "E2eSupport.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace e2e;

namespace {

const QString kMissedTitle = QStringLiteral("错过的提醒");
const QString kEditorTitle = QStringLiteral("便笺 (ALT+F4关闭)");
const QString kMomentFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTime at(const QString &text) {
    return QDateTime::fromString(text, kMomentFormat);
}

QString memoSetting(const SettingsFile &settings, const QString &key) {
    return settings.ReadSetting(QStringLiteral("MEMO"), key);
}

} // namespace

class tst_MissedReminders : public QObject {
    Q_OBJECT

    QString m_faketime;

    // Starts the program on home with its clock running from start.
    void startAt(QProcess &program, const QString &home, const QDateTime &start) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_PRELOAD"), m_faketime);
        environment.insert(QStringLiteral("FAKETIME"), u'@' + start.toString(kMomentFormat));
        // Timers keep the real pace; only the wall clock is moved.
        environment.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        // The sanitizer's runtime is not the first library once libfaketime is.
        QStringList asan = environment.value(QStringLiteral("ASAN_OPTIONS")).split(u':', Qt::SkipEmptyParts);
        asan.append(QStringLiteral("verify_asan_link_order=0"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), asan.join(u':'));
        program.setProcessEnvironment(environment);
        startProgram(program, home);
    }

private Q_SLOTS:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
        for (const QString &folder :
             QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu*")})) {
            const QString library = QStringLiteral("/usr/lib/%1/faketime/libfaketime.so.1").arg(folder);
            if (QFileInfo(library).isFile())
                m_faketime = library;
        }
        if (m_faketime.isEmpty())
            QSKIP("needs libfaketime (Debian package faketime)");
    }

    // A daily memo's time passed while the program was stopped: the next
    // start lists it; Enter opens its view, whose "稍后提醒" is kept for the
    // next run; a plain restart lists nothing; a start after the snooze's
    // moment lists the snooze; saving the memo drops a snooze.
    void missedWindowAfterARestartWithALaterClock() {
        QTemporaryDir home;
        const SettingsFile settings(home.path() + u'/');
        QVERIFY(settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M3"),
                                      QStringLiteral("1|日|1|08:30:00|错过的站会")));
        QVERIFY(settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M_lastseen"),
                                      QStringLiteral("2026-12-13 20:00:00")));

        QProcess first;
        startAt(first, home.path(), at(QStringLiteral("2026-12-14 09:00:00")));
        const QString missed = waitForWindow(kMissedTitle);
        QVERIFY(!missed.isEmpty());
        keysTo(missed, {QStringLiteral("Return")});
        const QString view = waitForWindow(kEditorTitle, 10000);
        QVERIFY(!view.isEmpty());
        keysTo(view, {QStringLiteral("alt+5")});
        // The snooze names the memo the list opened.
        QVERIFY(waitUntil(
            [&] {
                return memoSetting(settings, QStringLiteral("M_snooze")).startsWith(QStringLiteral("3|"));
            },
            10000));
        QVERIFY(waitUntil([] { return !windowVisible(kEditorTitle); }, 5000));
        QVERIFY(terminateProgram(first));
        const QDateTime seen = at(memoSetting(settings, QStringLiteral("M_lastseen")));
        QVERIFY2(seen >= at(QStringLiteral("2026-12-14 09:00:00")) &&
                     seen < at(QStringLiteral("2026-12-14 09:05:00")),
                 qPrintable(memoSetting(settings, QStringLiteral("M_lastseen"))));
        const QDateTime snooze = at(memoSetting(settings, QStringLiteral("M_snooze")).mid(2));
        QVERIFY(snooze > seen.addSecs(4 * 60) && snooze <= seen.addSecs(5 * 60));
        QCOMPARE(memoSetting(settings, QStringLiteral("M3")), QStringLiteral("1|日|1|08:30:00|错过的站会"));

        QProcess second;
        startAt(second, home.path(), seen.addSecs(20));
        QVERIFY(!waitForWindow(kBoardTitle).isEmpty());
        QTest::qWait(3000); // the first ticks have come and gone
        QVERIFY(!windowVisible(kMissedTitle));
        QVERIFY(terminateProgram(second));
        QCOMPARE(memoSetting(settings, QStringLiteral("M_snooze")).mid(2), snooze.toString(kMomentFormat));

        // Started after the snooze's moment: the snooze is among the missed.
        // Snoozed again from there, the memo's edit and save drop it.
        QProcess third;
        startAt(third, home.path(), snooze.addSecs(60));
        const QString missedAgain = waitForWindow(kMissedTitle);
        QVERIFY(!missedAgain.isEmpty());
        QVERIFY(waitUntil([&] { return memoSetting(settings, QStringLiteral("M_snooze")).isEmpty(); }, 5000));
        keysTo(missedAgain, {QStringLiteral("Return")});
        const QString viewAgain = waitForWindow(kEditorTitle, 10000);
        QVERIFY(!viewAgain.isEmpty());
        keysTo(viewAgain, {QStringLiteral("alt+3")});
        QVERIFY(waitUntil(
            [&] {
                return memoSetting(settings, QStringLiteral("M_snooze")).startsWith(QStringLiteral("3|"));
            },
            10000));
        QVERIFY(waitUntil([] { return !windowVisible(kEditorTitle); }, 5000));
        xdotool({QStringLiteral("windowmove"), missedAgain, QStringLiteral("700"), QStringLiteral("0")});
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        // Double-click memo 3's time cell: below the clock strip and the memo
        // header, three rows down.
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), board, QStringLiteral("60"),
                 QString::number((1091 + 375 + 3 * 240 + 120) / 15)});
        xdotool(
            {QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
        const QString editor = waitForWindow(kEditorTitle, 10000);
        QVERIFY(!editor.isEmpty());
        keysTo(editor, {QStringLiteral("alt+s")});
        QVERIFY(
            waitUntil([&] { return memoSetting(settings, QStringLiteral("M_snooze")).isEmpty(); }, 10000));
        // Stored anew, as the editor writes a day.
        QCOMPARE(memoSetting(settings, QStringLiteral("M3")), QStringLiteral("1|日|01|08:30:00|错过的站会"));
        QVERIFY(terminateProgram(third));
    }
};

QTEST_GUILESS_MAIN(tst_MissedReminders)
#include "tst_MissedReminders.moc"
