// SPDX-License-Identifier: MIT
#include "memos/LunarMemos.h"
#include "memos/MemoDue.h"
#include "memos/MemoRecord.h"
#include "memos/MemoScheduler.h"
#include "memos/MemoSlots.h"
#include "settings/SettingsFile.h"

#include <QTemporaryDir>
#include <QTest>

// The Gregorian dates below were read from liblunar-date itself
// (lunar_date_set_lunar_date, then %(year)-%(month)-%(day)).
class tst_LunarMemos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!LunarCalendar::unavailableReason().isEmpty())
            QFAIL(qPrintable(LunarCalendar::unavailableReason()));
    }

    void conversions_data() {
        QTest::addColumn<QDate>("gregorian");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("leap");
        QTest::newRow("闰四月初一 2020") << QDate(2020, 5, 23) << 2020 << 4 << 1 << true;
        QTest::newRow("四月三十 2020, before its leap month")
            << QDate(2020, 5, 22) << 2020 << 4 << 30 << false;
        QTest::newRow("闰二月廿九 2023") << QDate(2023, 4, 19) << 2023 << 2 << 29 << true;
        QTest::newRow("二月廿九 2023") << QDate(2023, 3, 20) << 2023 << 2 << 29 << false;
        QTest::newRow("闰六月廿九 2025") << QDate(2025, 8, 22) << 2025 << 6 << 29 << true;
        QTest::newRow("正月初一 2026") << QDate(2026, 2, 17) << 2026 << 1 << 1 << false;
        QTest::newRow("腊月初一 of 2023 in 2024") << QDate(2024, 1, 11) << 2023 << 12 << 1 << false;
    }
    void conversions() {
        QFETCH(QDate, gregorian);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(bool, leap);
        const std::optional<LunarDay> lunar = LunarCalendar::fromGregorian(gregorian);
        QVERIFY(lunar);
        QCOMPARE(lunar->year, year);
        QCOMPARE(lunar->month, month);
        QCOMPARE(lunar->day, day);
        QCOMPARE(lunar->leap, leap);
        QCOMPARE(LunarCalendar::toGregorian(*lunar), gregorian);
    }

    void outsideTheRange() {
        QVERIFY(!LunarCalendar::fromGregorian(QDate(1900, 1, 30)));
        QVERIFY(!LunarCalendar::fromGregorian(QDate(2101, 2, 1)));
        QVERIFY(!LunarCalendar::toGregorian({2021, 4, 1, true}).isValid());  // 2021 has no 闰四月
        QVERIFY(!LunarCalendar::toGregorian({2020, 4, 30, true}).isValid()); // 闰四月 2020 has 29 days
    }

    void occurrenceIn_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("monthDay");
        QTest::addColumn<QDate>("expected");
        QTest::addColumn<bool>("leapFellBack");
        QTest::addColumn<bool>("dayFellBack");
        QTest::newRow("闰04-01 in 2020")
            << 2020 << QStringLiteral("闰04-01") << QDate(2020, 5, 23) << false << false;
        QTest::newRow("闰04-29 in 2021: no leap month")
            << 2021 << QStringLiteral("闰04-29") << QDate(2021, 6, 9) << true << false;
        QTest::newRow("闰02-30 in 2023: 29 days")
            << 2023 << QStringLiteral("闰02-30") << QDate(2023, 4, 19) << false << true;
        QTest::newRow("02-30 in 2022: 29 days")
            << 2022 << QStringLiteral("02-30") << QDate(2022, 3, 31) << false << true;
        QTest::newRow("02-30 in 2024: 30 days")
            << 2024 << QStringLiteral("02-30") << QDate(2024, 4, 8) << false << false;
        QTest::newRow("闰06-30 in 2025")
            << 2025 << QStringLiteral("闰06-30") << QDate(2025, 8, 22) << false << true;
        QTest::newRow("闰06-30 in 2024: both fall back")
            << 2024 << QStringLiteral("闰06-30") << QDate(2024, 8, 3) << true << true;
        QTest::newRow("06-30 in 2025: the ordinary month")
            << 2025 << QStringLiteral("06-30") << QDate(2025, 7, 24) << false << false;
    }
    void occurrenceIn() {
        QFETCH(int, year);
        QFETCH(QString, monthDay);
        const std::optional<LunarMonthDay> parsed = LunarMonthDay::parse(monthDay);
        QVERIFY(parsed);
        QCOMPARE(parsed->toText(), monthDay);
        const LunarOccurrence occurrence = LunarCalendar::occurrenceIn(year, *parsed);
        QCOMPARE(occurrence.error, QString());
        QTEST(occurrence.date, "expected");
        QTEST(occurrence.leapFellBack, "leapFellBack");
        QTEST(occurrence.dayFellBack, "dayFellBack");
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << QStringLiteral("12-01") << true;
        QTest::newRow("leap") << QStringLiteral("闰06-30") << true;
        QTest::newRow("day 31") << QStringLiteral("01-31") << false;
        QTest::newRow("month 13") << QStringLiteral("13-01") << false;
        QTest::newRow("one digit") << QStringLiteral("4-1") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("spaces around") << QStringLiteral(" 闰06-30 ") << true;
        QTest::newRow("trailing text") << QStringLiteral("06-30x") << false;
        QTest::newRow("no dash") << QStringLiteral("06/30") << false;
        QTest::newRow("leap mark alone") << QStringLiteral("闰") << false;
        QTest::newRow("day 00") << QStringLiteral("06-00") << false;
        QTest::newRow("full-width digits") << QStringLiteral("１２-０１") << false;
    }
    void parse() {
        QFETCH(QString, text);
        QTEST(LunarMonthDay::parse(text).has_value(), "valid");
    }

    void chineseNames() {
        QCOMPARE((LunarMonthDay{4, 30, true}.chineseName()), QStringLiteral("闰四月三十"));
        QCOMPARE((LunarMonthDay{1, 1, false}.chineseName()), QStringLiteral("正月初一"));
        QCOMPARE((LunarMonthDay{12, 29, false}.chineseName()), QStringLiteral("腊月廿九"));
        QCOMPARE((LunarMonthDay{11, 15, false}.chineseName()), QStringLiteral("冬月十五"));
        QCOMPARE((LunarMonthDay{2, 20, false}.chineseName()), QStringLiteral("二月二十"));
    }

    // Day by day, the record of a lunar memo as the program leaves it: each
    // row is a day the program runs and the record's date it must hold.
    void recordAfterEachOccurrence_data() {
        QTest::addColumn<QString>("monthDay");
        QTest::addColumn<QList<QDate>>("days");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("闰四月廿九, born 2020")
            << QStringLiteral("闰04-29")
            << QList<QDate>{{2020, 6, 1},  {2020, 6, 20}, {2020, 6, 21}, {2021, 6, 10},
                            {2022, 5, 30}, {2023, 1, 1},  {2023, 6, 17}}
            // 2022-05-30: the next day, 2023-06-16, is still ahead in 2022;
            // the record keeps the day passed until the year turns.
            << QStringList{QStringLiteral("06-20"), QStringLiteral("06-20"), QStringLiteral("06-09"),
                           QStringLiteral("05-29"), QStringLiteral("05-29"), QStringLiteral("06-16"),
                           QStringLiteral("06-05")};
        QTest::newRow("闰二月三十 across 2023")
            << QStringLiteral("闰02-30") << QList<QDate>{{2023, 3, 1}, {2023, 4, 20}, {2024, 4, 9}}
            << QStringList{QStringLiteral("04-19"), QStringLiteral("04-08"), QStringLiteral("03-28")};
        QTest::newRow("闰六月三十 across 2025")
            << QStringLiteral("闰06-30") << QList<QDate>{{2024, 8, 4}, {2025, 1, 1}, {2025, 8, 23}}
            << QStringList{QStringLiteral("08-03"), QStringLiteral("08-22"), QStringLiteral("08-12")};
    }
    void recordAfterEachOccurrence() {
        QFETCH(QString, monthDay);
        QFETCH(QList<QDate>, days);
        QFETCH(QStringList, records);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QString section = QStringLiteral("MEMO");
        QVERIFY(settings.WriteSetting(section, QStringLiteral("M3"),
                                      QStringLiteral("1|年|01-01|09:00:00|生日|x")));
        QVERIFY(settings.WriteSetting(section, QStringLiteral("L3"), monthDay));
        LunarMemos memos(settings);
        for (qsizetype i = 0; i < days.size(); ++i) {
            QString error;
            memos.follow(days[i], &error);
            QCOMPARE(error, QString());
            const QString expected =
                QStringLiteral("1|年|") + records[i] + QStringLiteral("|09:00:00|生日|x");
            if (settings.ReadSetting(section, QStringLiteral("M3")) != expected)
                QFAIL(qPrintable(QStringLiteral("on %1: %2, not %3")
                                     .arg(days[i].toString(Qt::ISODate),
                                          settings.ReadSetting(section, QStringLiteral("M3")), expected)));
        }
    }

    void followRewritesOncePerDayAndLeavesOtherPeriods() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QString section = QStringLiteral("MEMO");
        settings.WriteSetting(section, QStringLiteral("M0"), QStringLiteral("1|年|01-01|09:00:00|a"));
        settings.WriteSetting(section, QStringLiteral("L0"), QStringLiteral("01-01"));
        settings.WriteSetting(section, QStringLiteral("M1"), QStringLiteral("1|月|01|09:00:00|b"));
        settings.WriteSetting(section, QStringLiteral("L1"), QStringLiteral("01-01"));
        LunarMemos memos(settings);
        QVERIFY(memos.follow(QDate(2026, 1, 1)));
        QCOMPARE(settings.ReadSetting(section, QStringLiteral("M0")),
                 QStringLiteral("1|年|02-17|09:00:00|a"));
        QCOMPARE(settings.ReadSetting(section, QStringLiteral("M1")), QStringLiteral("1|月|01|09:00:00|b"));
        // A hand edit the same day stays until the date changes.
        settings.WriteSetting(section, QStringLiteral("M0"), QStringLiteral("1|年|03-03|09:00:00|a"));
        QVERIFY(!memos.follow(QDate(2026, 1, 1)));
        QCOMPARE(settings.ReadSetting(section, QStringLiteral("M0")),
                 QStringLiteral("1|年|03-03|09:00:00|a"));
        QVERIFY(memos.follow(QDate(2026, 1, 2)));
        QVERIFY(!memos.follow(QDate(2026, 1, 3)));
    }

    // 腊月初一 falls on 2022-12-23 and 2024-01-11: 2023 has none, so the
    // Gregorian record cannot be right all year; the scheduler goes by the
    // lunar date.
    void schedulerGoesByTheLunarDate_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("due");
        QTest::newRow("2022-12-23") << QDate(2022, 12, 23) << true;
        QTest::newRow("2023-01-11, the record's day") << QDate(2023, 1, 11) << false;
        QTest::newRow("2024-01-11") << QDate(2024, 1, 11) << true;
        QTest::newRow("2024-12-31") << QDate(2024, 12, 31) << true;
    }
    void schedulerGoesByTheLunarDate() {
        QFETCH(QDate, day);
        QFETCH(bool, due);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M2"),
                              QStringLiteral("1|年|01-11|08:00:00|t"));
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("L2"), QStringLiteral("12-01"));
        MemoSlots slots;
        slots.LoadMemos(settings);
        const MemoSlot &slot = slots.slot(2);
        QVERIFY(slot.lunar);
        QCOMPARE(isDueAt(slot, QDateTime(day, QTime(8, 0))), due);
        QCOMPARE(memoDayOf(slot, day) == MemoDay::Today, due);
    }

    void nextDueOfALunarMemo() {
        MemoSlot slot{1,
                      QStringLiteral("年"),
                      QStringLiteral("01-11"),
                      QStringLiteral("08:00:00"),
                      QStringLiteral("t"),
                      LunarMonthDay{12, 1, false}};
        QCOMPARE(nextDue(slot, 2, QDateTime(QDate(2022, 12, 24), QTime(0, 0))).when,
                 QDateTime(QDate(2024, 1, 11), QTime(8, 0)));
    }
};

QTEST_GUILESS_MAIN(tst_LunarMemos)
#include "tst_LunarMemos.moc"
