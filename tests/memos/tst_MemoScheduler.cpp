// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "memos/MemoScheduler.h"
#include "memos/MemoSlots.h"
#include "platform/Balloons.h"
#include "platform/SoundPlayer.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

MemoSlot memo(int enabled, const char16_t *period, const QString &date, const QString &time) {
    return {enabled, QString::fromUtf16(period), date, time, QStringLiteral("title")};
}

} // namespace

Q_DECLARE_METATYPE(MemoSlot)
Q_DECLARE_METATYPE(MemoDay)

class tst_MemoScheduler : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        MemoSlots slots;
        FakeClock clock;
        ProcessValues values;
        RecordingBalloons balloons;
        RecordingSound sound;
        RecordingStatus status;
        MemoScheduler scheduler{slots, clock, values, sound, status, dir.path() + u'/'};
        QSignalSpy editors{&scheduler, &MemoScheduler::viewEditorRequested};
        Fixture() { values.notifyIcon = &balloons; }

        void load(int number, const QString &record) {
            QTemporaryDir settingsDir;
            const SettingsFile settings(settingsDir.path());
            settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M%1").arg(number), record);
            slots.LoadMemos(settings);
        }
        void tickAt(const QDateTime &moment) {
            clock.current = moment;
            scheduler.Timer3_Timer();
        }
    };

private Q_SLOTS:
    void dateTest_data() {
        QTest::addColumn<MemoSlot>("slot");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<MemoDay>("result");
        const QDate monday(2026, 12, 7);
        QTest::newRow("monthly on its day")
            << memo(1, u"月", QStringLiteral("15"), {}) << QDate(2026, 3, 15) << MemoDay::Today;
        QTest::newRow("monthly 01 is the 1st")
            << memo(1, u"月", QStringLiteral("01"), {}) << QDate(2026, 3, 1) << MemoDay::Today;
        QTest::newRow("monthly next day")
            << memo(1, u"月", QStringLiteral("15"), {}) << QDate(2026, 3, 16) << MemoDay::OtherDay;
        QTest::newRow("quarterly in April")
            << memo(1, u"季", QStringLiteral("1"), {}) << QDate(2026, 4, 1) << MemoDay::Today;
        QTest::newRow("quarterly in October")
            << memo(1, u"季", QStringLiteral("1"), {}) << QDate(2026, 10, 1) << MemoDay::Today;
        QTest::newRow("quarterly not in February")
            << memo(1, u"季", QStringLiteral("1"), {}) << QDate(2026, 2, 1) << MemoDay::OtherDay;
        QTest::newRow("weekly 7 is Sunday")
            << memo(1, u"周", QStringLiteral("7"), {}) << monday.addDays(6) << MemoDay::Today;
        QTest::newRow("weekly 1 is Monday")
            << memo(1, u"周", QStringLiteral("1"), {}) << monday << MemoDay::Today;
        QTest::newRow("weekly 1 not on Sunday")
            << memo(1, u"周", QStringLiteral("1"), {}) << monday.addDays(6) << MemoDay::OtherDay;
        QTest::newRow("yearly on its day")
            << memo(1, u"年", QStringLiteral("01-10"), {}) << QDate(2027, 1, 10) << MemoDay::Today;
        QTest::newRow("yearly 1-10 never equals")
            << memo(1, u"年", QStringLiteral("1-10"), {}) << QDate(2027, 1, 10) << MemoDay::OtherDay;
        QTest::newRow("yearly 02-29 in a leap year")
            << memo(1, u"年", QStringLiteral("02-29"), {}) << QDate(2028, 2, 29) << MemoDay::Today;
        QTest::newRow("yearly 02-29 in other years")
            << memo(1, u"年", QStringLiteral("02-29"), {}) << QDate(2027, 3, 1) << MemoDay::DateFormatError;
        QTest::newRow("yearly month 13")
            << memo(1, u"年", QStringLiteral("13-01"), {}) << QDate(2027, 3, 1) << MemoDay::DateFormatError;
        QTest::newRow("daily") << memo(1, u"日", QStringLiteral("1"), {}) << QDate(2027, 3, 1)
                               << MemoDay::Daily;
        QTest::newRow("unknown period is daily")
            << memo(1, u"5", QString(), {}) << QDate(2027, 3, 1) << MemoDay::Daily;
    }
    void dateTest() {
        QFETCH(MemoSlot, slot);
        QFETCH(QDate, day);
        QFETCH(MemoDay, result);
        QCOMPARE(memoDayOf(slot, day), result);
    }

    void dueMemoIsAnnounced() {
        Fixture f;
        writeBytes(f.dir.filePath(QStringLiteral("M2.wav")), "RIFF");
        f.load(2, QStringLiteral("1|月|15|08:30:00|交房租"));
        QSignalSpy bodies(&f.scheduler, &MemoScheduler::bodyRequested);
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(8, 29, 59)));
        QCOMPARE(f.slots.titleMark(2), TitleMark::Today);
        QVERIFY(f.balloons.shown.isEmpty());
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(8, 30, 0, 200)));
        QCOMPARE(f.balloons.shown,
                 QStringList{QStringLiteral("便笺提醒|便笺[2]设定提醒时间到，请及时处理事务!|1")});
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(2));
        QCOMPARE(bodies.size(), 1);
        QCOMPARE(f.sound.played, QStringList{f.dir.filePath(QStringLiteral("M2.wav"))});
        QCOMPARE(f.editors.size(), 1);
        QCOMPARE(f.editors[0][0].toInt(), 2);
        f.scheduler.setEditorOpen(false);
        f.tickAt(QDateTime(QDate(2026, 3, 16), QTime(8, 30, 0)));
        QCOMPARE(f.slots.titleMark(2), TitleMark::OtherDay);
        QCOMPARE(f.balloons.shown.size(), 1);
    }

    void lateTickLosesNothingAndTwoMemosComeOneAfterTheOther() {
        Fixture f;
        f.load(1, QStringLiteral("1|日|1|12:00:00|a"));
        f.load(6, QStringLiteral("1|日|1|12:00:00|b"));
        f.load(3, QStringLiteral("1|日|1|12:00:01|c"));
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(11, 59, 59)));
        // The next tick comes three seconds late.
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(12, 0, 2)));
        QCOMPARE(f.editors.size(), 1);
        QCOMPARE(f.scheduler.pending(), 2);
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(12, 0, 3))); // while the editor is open
        QCOMPARE(f.editors.size(), 1);
        f.scheduler.setEditorOpen(false);
        f.scheduler.setEditorOpen(false);
        QList<int> order;
        for (const auto &call : f.editors)
            order.append(call[0].toInt());
        QCOMPARE(order, (QList<int>{1, 6, 3}));
        QCOMPARE(f.balloons.shown.size(), 3);
        // Each once: the same second again (a clock set back) is a new tick but
        // the clock text is past.
        f.scheduler.setEditorOpen(false);
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(12, 0, 3, 900)));
        QCOMPARE(f.editors.size(), 3);
    }

    void balloonAndSoundDoNotWaitForAnOpenEditor() {
        Fixture f;
        writeBytes(f.dir.filePath(QStringLiteral("M5.wav")), "RIFF");
        f.load(5, QStringLiteral("1|日|1|09:00:00|站会"));
        QSignalSpy bodies(&f.scheduler, &MemoScheduler::bodyRequested);
        f.scheduler.setEditorOpen(true); // the user is typing in memo 0's editor
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(9, 0, 0)));
        QCOMPARE(f.balloons.shown,
                 QStringList{QStringLiteral("便笺提醒|便笺[5]设定提醒时间到，请及时处理事务!|1")});
        QCOMPARE(f.sound.played, QStringList{f.dir.filePath(QStringLiteral("M5.wav"))});
        QCOMPARE(bodies.size(), 1);
        QVERIFY(f.editors.isEmpty()); // the view window waits ...
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(9, 0, 13)));
        QCOMPARE(f.balloons.shown.size(), 1); // ... and nothing is announced twice
        f.scheduler.setEditorOpen(false);
        QCOMPARE(f.editors.size(), 1); // ... until the editor closes
        QCOMPARE(f.editors[0][0].toInt(), 5);
        QCOMPARE(f.slots.currentMemo(), std::optional<int>(5));
    }

    void formatErrorsGoToTheStatusLine() {
        Fixture f;
        f.load(4, QStringLiteral("1|年|02-29|08:00:00|x"));
        f.load(5, QStringLiteral("1|日|1|9:00:00|one-digit hour"));
        f.load(7, QStringLiteral("1|日|1|25:00:00|bad"));
        f.tickAt(QDateTime(QDate(2027, 3, 1), QTime(9, 0, 0)));
        QCOMPARE(f.status.shown, (QStringList{QStringLiteral("便笺[4]提醒日期格式错误！请修正！"),
                                              QStringLiteral("便笺[7]提醒时间格式错误！请修正！")}));
        QVERIFY(f.editors.isEmpty()); // 9:00:00 never equals the clock's 09:00:00
    }

    void disabledMemoIsNeverTouched() {
        Fixture f;
        f.load(0, QStringLiteral("0|日|1|10:00:00|x"));
        f.load(1, QStringLiteral("1|月|15|10:00:00|y"));
        f.tickAt(QDateTime(QDate(2026, 3, 15), QTime(9, 0, 0)));
        QCOMPARE(f.slots.titleMark(1), TitleMark::Today);
        f.load(1, QStringLiteral("0|月|15|10:00:00|y"));
        f.tickAt(QDateTime(QDate(2026, 3, 16), QTime(10, 0, 0)));
        QCOMPARE(f.slots.titleMark(1), TitleMark::Today); // left red
        QCOMPARE(f.slots.titleMark(0), TitleMark::Initial);
        QVERIFY(f.editors.isEmpty());
        // Ticking the box on the board is enough for the scheduler.
        f.slots.setEnabled(0, 1);
        f.tickAt(QDateTime(QDate(2026, 3, 16), QTime(10, 0, 0)).addDays(1));
        QCOMPARE(f.editors.size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_MemoScheduler)
#include "tst_MemoScheduler.moc"
