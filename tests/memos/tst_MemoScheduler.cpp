// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "memos/MemoScheduler.h"
#include "memos/MemoSlots.h"
#include "memos/MissedReminders.h"
#include "memos/ReminderKeys.h"
#include "platform/Balloons.h"
#include "platform/SoundPlayer.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

MemoSlot memo(int enabled, const char16_t *period, const QString &date, const QString &time) {
    MemoSlot slot;
    slot.enabled = enabled;
    slot.period = QString::fromUtf16(period);
    slot.date = date;
    slot.time = time;
    slot.title = QStringLiteral("title");
    return slot;
}

using Records = QMap<int, QString>;

std::array<MemoSlot, kMemoCount> slotsOf(const Records &records) {
    std::array<MemoSlot, kMemoCount> slots;
    for (int n = 0; n < kMemoCount; ++n) {
        slots[n] = MemoSlot::initial(n);
        applyRecord(slots[n], records.value(n));
    }
    return slots;
}

QDateTime at(const char *text) {
    const QDateTime moment = ReminderKeys::parseMoment(QString::fromLatin1(text));
    Q_ASSERT(moment.isValid());
    return moment;
}

// "n|yyyy-MM-dd HH:mm:ss" per reminder, as the window would list them.
QStringList linesOf(const QList<MissedReminder> &reminders) {
    QStringList lines;
    for (const MissedReminder &r : reminders)
        lines.append(QString::number(r.number) + u'|' + ReminderKeys::formatMoment(r.due));
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(MemoSlot)
Q_DECLARE_METATYPE(MemoDay)
Q_DECLARE_METATYPE(MissedReminder)

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
        QSignalSpy missed{&scheduler, &MemoScheduler::missed};
        QStringList missedLines(int call) const {
            return linesOf(missed[call][0].value<QList<MissedReminder>>());
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

    void missedReminders_data() {
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("snoozes"); // as M_snooze holds them
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::addColumn<QStringList>("listed");
        // 2026-12-08 is a Tuesday; the program stops that evening and starts
        // again on Friday morning.
        QTest::newRow("three-day stop")
            << Records{{0, QStringLiteral("1|年|12-09|10:00:00|生日")},
                       {1, QStringLiteral("1|月|10|07:00:00|房租")},
                       {2, QStringLiteral("1|周|3|18:00:00|周三例会")},
                       {3, QStringLiteral("1|日|1|08:30:00|每天三次")},
                       {4, QStringLiteral("0|日|1|21:00:00|关着")},
                       {5, QStringLiteral("1|月|20|07:00:00|不在其中")},
                       {6, QStringLiteral("1|日|1|9:00:00|一位小时")},
                       {7, QStringLiteral("1|季|10|07:00:00|季度不在十二月")},
                       {8, QStringLiteral("1|日|1|20:00:00|停的那一秒")}}
            << QString() << at("2026-12-08 20:00:00") << at("2026-12-11 09:00:00")
            << QStringList{QStringLiteral("3|2026-12-11 08:30:00"), QStringLiteral("8|2026-12-10 20:00:00"),
                           QStringLiteral("1|2026-12-10 07:00:00"), QStringLiteral("2|2026-12-09 18:00:00"),
                           QStringLiteral("0|2026-12-09 10:00:00")};
        QTest::newRow("due twice, listed once with its latest time")
            << Records{{2, QStringLiteral("1|日|1|10:00:00|x")}} << QStringLiteral("2|2026-12-09 12:00:00")
            << at("2026-12-09 09:00:00") << at("2026-12-11 09:00:00")
            << QStringList{QStringLiteral("2|2026-12-10 10:00:00")};
        QTest::newRow("disabled memos")
            << Records{{0, QStringLiteral("0|日|1|10:00:00|off")},
                       {1, QStringLiteral("2|日|1|10:00:00|grey")},
                       {2, QStringLiteral("0|月|10|10:00:00|off, snoozed")}}
            << QStringLiteral("2|2026-12-10 11:00:00") << at("2026-12-08 20:00:00")
            << at("2026-12-11 09:00:00") << QStringList();
        // Seven days back from 2026-12-11 09:00:00 is 2026-12-04 09:00:00.
        QTest::newRow("seven-day cap")
            << Records{{0, QStringLiteral("1|月|2|07:00:00|nine days ago")},
                       {1, QStringLiteral("1|年|12-04|09:00:00|exactly seven days ago")},
                       {2, QStringLiteral("1|年|12-04|09:00:01|just within")},
                       {3, QStringLiteral("1|周|5|08:00:00|Fridays")},
                       {4, QStringLiteral("1|年|11-20|07:00:00|three weeks ago")}}
            << QStringLiteral("4|2026-11-25 08:00:00") << at("2026-11-01 00:00:00")
            << at("2026-12-11 09:00:00")
            << QStringList{QStringLiteral("3|2026-12-11 08:00:00"), QStringLiteral("2|2026-12-04 09:00:01")};
        QTest::newRow("normal run: last seen a second ago")
            << Records{{0, QStringLiteral("1|日|1|08:59:59|seen")},
                       {1, QStringLiteral("1|日|1|09:00:00|the tick's own")}}
            << QStringLiteral("2|2026-12-11 09:00:00") << at("2026-12-11 08:59:59")
            << at("2026-12-11 09:00:00") << QStringList();
        QTest::newRow("snoozes in the stop")
            << Records{{1, QStringLiteral("1|日|1|08:00:00|snoozed later")},
                       {5, QStringLiteral("1|月|20|07:00:00|only the snooze")},
                       {6, QStringLiteral("1|月|20|07:00:00|snoozed before the stop")}}
            << QStringLiteral("1|2026-12-10 08:10:00;5|2026-12-09 07:05:00;6|2026-12-08 19:00:00")
            << at("2026-12-08 20:00:00") << at("2026-12-10 09:00:00")
            << QStringList{QStringLiteral("1|2026-12-10 08:10:00"), QStringLiteral("5|2026-12-09 07:05:00")};
        QTest::newRow("last second unknown") << Records{{0, QStringLiteral("1|日|1|08:00:00|x")}} << QString()
                                             << QDateTime() << at("2026-12-11 09:00:00") << QStringList();
        QTest::newRow("clock set back")
            << Records{{0, QStringLiteral("1|日|1|08:00:00|x")}} << QString() << at("2026-12-12 09:00:00")
            << at("2026-12-11 09:00:00") << QStringList();
    }
    void missedReminders() {
        QFETCH(Records, records);
        QFETCH(QString, snoozes);
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, to);
        QFETCH(QStringList, listed);
        const QList<MissedReminder> missed =
            ::missedReminders(slotsOf(records), from, to, ReminderKeys::parseSnoozes(snoozes));
        QCOMPARE(linesOf(missed), listed);
        for (const MissedReminder &r : missed)
            QCOMPARE(r.title, slotsOf(records)[r.number].title);
    }

    void snoozeKeyKeepsOnlyWellFormedEntries() {
        const MemoSnoozes snoozes = ReminderKeys::parseSnoozes(
            QStringLiteral("3|2026-12-14 09:05:00;9|2026-12-14 09:05:00;x|2026-12-14 09:05:00;"
                           "2|2026-12-14 9:05:00;;7|2026-12-14;4|2026-12-14 10:00:00"));
        QCOMPARE(ReminderKeys::formatSnoozes(snoozes),
                 QStringLiteral("3|2026-12-14 09:05:00;4|2026-12-14 10:00:00"));
        QCOMPARE(ReminderKeys::formatSnoozes(MemoSnoozes{}), QString());
    }

    // Started again three days later: what fell due meanwhile is listed once,
    // not announced one by one.
    void missedWhileStoppedAreListedAtTheFirstTick() {
        Fixture f;
        f.load(3, QStringLiteral("1|日|1|08:30:00|每天"));
        f.load(1, QStringLiteral("1|月|10|07:00:00|房租"));
        f.scheduler.restore(at("2026-12-08 20:00:00"), {});
        f.tickAt(at("2026-12-11 09:00:00").addMSecs(300));
        QCOMPARE(f.missed.size(), 1);
        QCOMPARE(f.missedLines(0), (QStringList{QStringLiteral("3|2026-12-11 08:30:00"),
                                                QStringLiteral("1|2026-12-10 07:00:00")}));
        QCOMPARE(f.status.shown, QStringList{QStringLiteral("错过了 2 条提醒")});
        QCOMPARE(f.balloons.shown, QStringList{QStringLiteral("错过的提醒|错过了 2 条提醒|1")});
        QVERIFY(f.editors.isEmpty());
        QCOMPARE(f.scheduler.lastSeen(), at("2026-12-11 09:00:00"));
        f.tickAt(at("2026-12-11 09:00:01"));
        f.tickAt(at("2026-12-11 09:00:05"));
        QCOMPARE(f.missed.size(), 1);
    }

    // A restart a second after the last one saw: nothing is missed, and the
    // memo of the first tick's own second is announced, not listed.
    void normalRestartListsNothing() {
        Fixture f;
        f.load(0, QStringLiteral("1|日|1|09:00:00|x"));
        f.scheduler.restore(at("2026-12-11 08:59:59"), {});
        f.tickAt(at("2026-12-11 09:00:00"));
        QVERIFY(f.missed.isEmpty());
        QCOMPARE(f.editors.size(), 1);
        QCOMPARE(f.balloons.shown.size(), 1);
    }

    void sleepIsCaughtUp_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("resume");
        QTest::addColumn<bool>("listed");
        QTest::newRow("sleep of two hours, clock jump alone") << 7200 << false << true;
        QTest::newRow("sleep of two hours, resume reported") << 7200 << true << true;
        QTest::newRow("sleep of 30 s, resume reported") << 30 << true << true;
        QTest::newRow("late tick of 30 s, no sleep") << 30 << false << false;
    }
    void sleepIsCaughtUp() {
        QFETCH(int, seconds);
        QFETCH(bool, resume);
        QFETCH(bool, listed);
        Fixture f;
        const QDateTime asleep = at("2026-12-11 09:00:00");
        const QDateTime due = asleep.addSecs(seconds / 2);
        f.load(4, QStringLiteral("1|日|1|%1|x").arg(due.toString(QStringLiteral("HH:mm:ss"))));
        f.tickAt(asleep.addSecs(-1));
        f.tickAt(asleep);
        f.clock.current = asleep.addSecs(seconds);
        if (resume)
            f.scheduler.resumed();
        f.scheduler.Timer3_Timer();
        if (listed) {
            QCOMPARE(f.missed.size(), 1);
            QCOMPARE(f.missedLines(0), QStringList{QStringLiteral("4|") + ReminderKeys::formatMoment(due)});
            QVERIFY(f.editors.isEmpty());
        } else {
            QVERIFY(f.missed.isEmpty());
            QCOMPARE(f.editors.size(), 1);
        }
    }

    // "稍后提醒" through a restart: stored as the program ends, announced at
    // its moment by the next run, once.
    void snoozeComesAgainOnceAfterARestart() {
        QTemporaryDir home;
        const SettingsFile settings(home.path() + u'/');
        const QString record = QStringLiteral("1|日|1|10:00:00|站会");
        {
            Fixture f;
            f.load(2, record);
            QSignalSpy changed(&f.scheduler, &MemoScheduler::snoozesChanged);
            f.tickAt(at("2026-12-11 10:00:00"));
            QCOMPARE(f.editors.size(), 1);
            f.clock.current = at("2026-12-11 10:00:20").addMSecs(700);
            f.scheduler.snoozeFor(2, 5);
            QCOMPARE(f.status.shown.last(), QStringLiteral("便笺[2]将于 10:05:20 再次提醒"));
            QCOMPARE(changed.size(), 1);
            QVERIFY(ReminderKeys::writeSnoozes(settings, f.scheduler.snoozes()));
            QVERIFY(LastSeenWriter(settings).store(at("2026-12-11 10:01:00")));
        }
        QCOMPARE(settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M_snooze")),
                 QStringLiteral("2|2026-12-11 10:05:20"));
        Fixture f;
        writeBytes(f.dir.filePath(QStringLiteral("M2.wav")), "RIFF");
        f.load(2, record);
        f.scheduler.restore(ReminderKeys::readLastSeen(settings), ReminderKeys::readSnoozes(settings));
        QSignalSpy changed(&f.scheduler, &MemoScheduler::snoozesChanged);
        f.tickAt(at("2026-12-11 10:02:00"));
        f.tickAt(at("2026-12-11 10:05:19"));
        QVERIFY(f.balloons.shown.isEmpty());
        f.tickAt(at("2026-12-11 10:05:20"));
        QCOMPARE(f.balloons.shown,
                 QStringList{QStringLiteral("便笺提醒|便笺[2]设定提醒时间到，请及时处理事务!|1")});
        QCOMPARE(f.sound.played, QStringList{f.dir.filePath(QStringLiteral("M2.wav"))});
        QCOMPARE(f.editors.size(), 1);
        QCOMPARE(f.editors[0][0].toInt(), 2);
        QVERIFY(!f.scheduler.snoozes()[2].isValid());
        QCOMPARE(changed.size(), 1);
        f.scheduler.setEditorOpen(false);
        f.tickAt(at("2026-12-11 10:05:21"));
        f.tickAt(at("2026-12-11 10:30:00"));
        QCOMPARE(f.balloons.shown.size(), 1);
        QVERIFY(f.missed.isEmpty());
    }

    void snoozeDueWhileStoppedIsMissed() {
        Fixture f;
        f.load(2, QStringLiteral("1|日|1|10:00:00|站会"));
        MemoSnoozes snoozes;
        snoozes[2] = at("2026-12-11 10:05:20");
        f.scheduler.restore(at("2026-12-11 10:01:00"), snoozes);
        QSignalSpy changed(&f.scheduler, &MemoScheduler::snoozesChanged);
        f.tickAt(at("2026-12-11 11:00:00"));
        QCOMPARE(f.missed.size(), 1);
        QCOMPARE(f.missedLines(0), QStringList{QStringLiteral("2|2026-12-11 10:05:20")});
        QVERIFY(!f.scheduler.snoozes()[2].isValid());
        QCOMPARE(changed.size(), 1);
        QVERIFY(f.editors.isEmpty());
    }

    // Switched off on the board, loaded switched off after an edit, or off
    // when the program starts: the snooze goes and never comes.
    void snoozeGoesWithTheMemoSwitchedOff() {
        Fixture f;
        f.load(4, QStringLiteral("1|日|1|07:00:00|a"));
        f.load(5, QStringLiteral("1|日|1|07:00:00|b"));
        f.tickAt(at("2026-12-11 10:00:00"));
        f.scheduler.snoozeFor(4, 10);
        f.scheduler.snoozeFor(5, 10);
        f.slots.setEnabled(4, 0);
        f.load(5, QStringLiteral("0|日|1|07:00:00|b"));
        QCOMPARE(ReminderKeys::formatSnoozes(f.scheduler.snoozes()), QString());
        f.slots.setEnabled(4, 1);
        f.slots.setEnabled(5, 1);
        for (int s = 1; s <= 11 * 60; s += 30)
            f.tickAt(at("2026-12-11 10:00:00").addSecs(s));
        QVERIFY(f.balloons.shown.isEmpty());

        Fixture g;
        g.load(6, QStringLiteral("0|日|1|07:00:00|c"));
        g.load(7, QStringLiteral("1|日|1|07:00:00|d"));
        QSignalSpy changed(&g.scheduler, &MemoScheduler::snoozesChanged);
        g.scheduler.restore(at("2026-12-11 10:00:00"), ReminderKeys::parseSnoozes(QStringLiteral(
                                                           "6|2026-12-11 10:10:00;7|2026-12-11 10:10:00")));
        QCOMPARE(ReminderKeys::formatSnoozes(g.scheduler.snoozes()), QStringLiteral("7|2026-12-11 10:10:00"));
        QCOMPARE(changed.size(), 1);
    }

    // M_lastseen is rewritten once a minute, not every second; the end of
    // the run and a coming sleep write it at once.
    void lastSeenIsWrittenOnceAMinute() {
        QTemporaryDir home;
        const SettingsFile settings(home.path() + u'/');
        LastSeenWriter writer(settings);
        const auto stored = [&] {
            return settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M_lastseen"));
        };
        const QDateTime start = at("2026-12-11 09:00:00");
        QVERIFY(writer.seen(start)); // a fresh file waits a minute too
        QVERIFY(writer.seen(start.addSecs(59)));
        QCOMPARE(stored(), QString());
        QVERIFY(writer.seen(start.addSecs(60)));
        QCOMPARE(stored(), QStringLiteral("2026-12-11 09:01:00"));
        QVERIFY(writer.store(start.addSecs(61)));
        QCOMPARE(stored(), QStringLiteral("2026-12-11 09:01:01"));
        QVERIFY(writer.seen(start.addSecs(30))); // the clock went back
        QCOMPARE(ReminderKeys::readLastSeen(settings), start.addSecs(30));
        // What the file held at the start waits its minute too.
        LastSeenWriter next(settings);
        next.setStored(start.addSecs(30));
        QVERIFY(next.seen(start.addSecs(40)));
        QCOMPARE(stored(), QStringLiteral("2026-12-11 09:00:30"));
        // A failed write says why and is tried again a minute later, not at
        // every tick.
        QTemporaryDir broken;
        QVERIFY(QDir(broken.path()).mkdir(QStringLiteral("setup.ini")));
        const SettingsFile unwritable(broken.path() + u'/');
        LastSeenWriter failing(unwritable);
        QString error;
        QVERIFY(!failing.store(start, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(failing.seen(start.addSecs(59)));
        QVERIFY(!failing.seen(start.addSecs(60)));
    }
};

QTEST_GUILESS_MAIN(tst_MemoScheduler)
#include "tst_MemoScheduler.moc"
