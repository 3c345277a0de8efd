// SPDX-License-Identifier: MIT
#include "board/ClockPanel.h"
#include "common/ProcessValues.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTest>

class tst_ClockPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texts_data() {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("weekdayAndPeriod");
        // 2018-03-05 is a Monday; 2026-12-13 a Sunday.
        QTest::newRow("23:30 is 子时")
            << QDateTime(QDate(2018, 3, 5), QTime(23, 30, 0)) << QStringLiteral("23:30:00")
            << QStringLiteral("2018年3月5日") << QStringLiteral("星期一 子时");
        QTest::newRow("00:59 is 子时")
            << QDateTime(QDate(2018, 3, 6), QTime(0, 59, 59)) << QStringLiteral("00:59:59")
            << QStringLiteral("2018年3月6日") << QStringLiteral("星期二 子时");
        QTest::newRow("01:00 is 丑时")
            << QDateTime(QDate(2018, 3, 7), QTime(1, 0, 0)) << QStringLiteral("01:00:00")
            << QStringLiteral("2018年3月7日") << QStringLiteral("星期三 丑时");
        QTest::newRow("09:05:07 is 巳时")
            << QDateTime(QDate(2017, 3, 18), QTime(9, 5, 7)) << QStringLiteral("09:05:07")
            << QStringLiteral("2017年3月18日") << QStringLiteral("星期六 巳时");
        QTest::newRow("12:59 is 午时")
            << QDateTime(QDate(2026, 12, 11), QTime(12, 59, 0)) << QStringLiteral("12:59:00")
            << QStringLiteral("2026年12月11日") << QStringLiteral("星期五 午时");
        QTest::newRow("22:59 is 亥时 on a Sunday")
            << QDateTime(QDate(2026, 12, 13), QTime(22, 59, 59)) << QStringLiteral("22:59:59")
            << QStringLiteral("2026年12月13日") << QStringLiteral("星期日 亥时");
    }
    void texts() {
        QFETCH(QDateTime, moment);
        QFETCH(QString, time);
        QFETCH(QString, date);
        QFETCH(QString, weekdayAndPeriod);
        const ClockTexts texts = clockTextsAt(moment);
        QCOMPARE(texts.time, time);
        QCOMPARE(texts.date, date);
        QCOMPARE(texts.weekdayAndPeriod, weekdayAndPeriod);
    }

    void everyHourHasItsPeriod() {
        const char16_t *const expected[] = {u"子时", u"丑时", u"丑时", u"寅时", u"寅时", u"卯时",
                                            u"卯时", u"辰时", u"辰时", u"巳时", u"巳时", u"午时",
                                            u"午时", u"未时", u"未时", u"申时", u"申时", u"酉时",
                                            u"酉时", u"戌时", u"戌时", u"亥时", u"亥时", u"子时"};
        for (int hour = 0; hour < 24; ++hour)
            QCOMPARE(PeriodName(hour), QString::fromUtf16(expected[hour]));
    }

    // Ticks at the given seconds after 17:29:55 (negative: the clock is set
    // back by that much); the shutdown time is 17:30:00.
    void timedShutdown_data() {
        QTest::addColumn<QString>("shutdownTime");
        QTest::addColumn<QList<int>>("ticks");
        QTest::addColumn<int>("shutdowns");
        QTest::newRow("on time") << QStringLiteral("17:30:00") << QList<int>{4, 5, 6} << 1;
        QTest::newRow("not before the second") << QStringLiteral("17:30:00") << QList<int>{1, 2, 3, 4} << 0;
        QTest::newRow("late tick skips the second") << QStringLiteral("17:30:00") << QList<int>{4, 7} << 1;
        QTest::newRow("two ticks in the second") << QStringLiteral("17:30:00") << QList<int>{5, 5, 6} << 1;
        QTest::newRow("first tick after the second") << QStringLiteral("17:30:00") << QList<int>{6, 7} << 0;
        QTest::newRow("clock set back across it")
            << QStringLiteral("17:30:00") << QList<int>{4, 5, 6, 1, 2, 3, 4, 5} << 1;
        QTest::newRow("17:30 never matches") << QStringLiteral("17:30") << QList<int>{4, 5, 6} << 0;
        QTest::newRow("empty time") << QString() << QList<int>{4, 5, 6} << 0;
        QTest::newRow("jump of hours past it") << QStringLiteral("17:30:00") << QList<int>{4, 4000} << 0;
    }
    void timedShutdown() {
        QFETCH(QString, shutdownTime);
        QFETCH(QList<int>, ticks);
        QFETCH(int, shutdowns);
        FakeClock clock;
        RecordingShutdownRunner runner;
        ProcessValues values;
        values.ShutdownTime = shutdownTime;
        ClockPanel panel(clock, runner, values);
        const QDateTime base(QDate(2026, 12, 10), QTime(17, 29, 55));
        for (int offset : ticks) {
            clock.current = base.addSecs(offset).addMSecs(300);
            panel.tick();
        }
        QCOMPARE(runner.calls.size(), shutdowns);
        if (shutdowns)
            QVERIFY(runner.calls[0].startsWith(QStringLiteral("shutdown:【Tackora】小助手提醒您")));
    }

    void firesAgainTheNextDay() {
        FakeClock clock;
        RecordingShutdownRunner runner;
        ProcessValues values;
        values.ShutdownTime = QStringLiteral("00:00:00");
        ClockPanel panel(clock, runner, values);
        clock.current = QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59));
        panel.tick();
        clock.current = clock.current.addSecs(1);
        panel.tick();
        clock.current = QDateTime(QDate(2026, 12, 11), QTime(23, 59, 59));
        panel.tick();
        clock.current = clock.current.addSecs(1);
        panel.tick();
        QCOMPARE(runner.calls.size(), 2);
    }

    void textsAreAnnouncedOnlyWhenTheyChange() {
        FakeClock clock;
        RecordingShutdownRunner runner;
        ProcessValues values;
        ClockPanel panel(clock, runner, values);
        QSignalSpy changed(&panel, &ClockPanel::textsChanged);
        panel.tick();
        panel.tick();
        clock.current = clock.current.addSecs(1);
        panel.tick();
        QCOMPARE(changed.size(), 2);
        QCOMPARE(panel.texts().time, QStringLiteral("12:00:01"));
    }

    // The panel keeps the date and the period between ticks: across an hour,
    // midnight, and a clock set back or forward by whole days at the same
    // hour, its texts are still those of the moment.
    void followsTheClockAcrossHoursAndDays() {
        FakeClock clock;
        RecordingShutdownRunner runner;
        ProcessValues values;
        ClockPanel panel(clock, runner, values);
        const QDateTime moments[] = {
            QDateTime(QDate(2026, 12, 13), QTime(22, 59, 59)),
            QDateTime(QDate(2026, 12, 13), QTime(23, 0, 0)),
            QDateTime(QDate(2026, 12, 13), QTime(23, 59, 59)),
            QDateTime(QDate(2026, 12, 14), QTime(0, 0, 0)),
            QDateTime(QDate(2026, 12, 12), QTime(0, 0, 1)),
            QDateTime(QDate(2027, 1, 1), QTime(0, 0, 2)),
            QDateTime(QDate(2027, 1, 1), QTime(0, 0, 2)),
        };
        for (const QDateTime &moment : moments) {
            clock.current = moment;
            panel.tick();
            const ClockTexts expected = clockTextsAt(moment);
            QCOMPARE(panel.texts().time, expected.time);
            QCOMPARE(panel.texts().date, expected.date);
            QCOMPARE(panel.texts().weekdayAndPeriod, expected.weekdayAndPeriod);
        }
        QCOMPARE(panel.texts().date, QStringLiteral("2027年1月1日"));
        QCOMPARE(panel.texts().weekdayAndPeriod, QStringLiteral("星期五 子时"));
    }
};

QTEST_GUILESS_MAIN(tst_ClockPanel)
#include "tst_ClockPanel.moc"
