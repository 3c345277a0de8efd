// SPDX-License-Identifier: MIT
#include "memos/MemoEditorForm.h"
#include "memos/MemoRecord.h"
#include "memos/RtfReader.h"
#include "platform/Balloons.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

Q_DECLARE_METATYPE(MemoEditorForm::Period)

class tst_MemoEditorForm : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        SettingsFile settings{dir.path()};
        RecordingDialogs dialogs;
        RecordingBalloons balloons;
        MemoEditorForm form{settings, dialogs, &balloons};
        QTextDocument body;
        Fixture() { writeDefaultSettings(settings); }
        QString record(int n) const {
            return settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M%1").arg(n));
        }
    };

private Q_SLOTS:
    void defaultMemoZeroOpens() {
        Fixture f;
        f.form.LoadMemo(0, f.body);
        QCOMPARE(f.form.title, QStringLiteral("双击左边时间编辑便笺……"));
        QCOMPARE(f.form.period, MemoEditorForm::Period::Yearly);
        QCOMPARE(f.form.month, QStringLiteral("01"));
        QCOMPARE(f.form.day, QStringLiteral("10"));
        QCOMPARE(f.form.time, QStringLiteral("00:00:00"));
        QVERIFY(!f.form.enabled);
        QCOMPARE(f.form.weekday, QStringLiteral("7"));
        QVERIFY(!f.form.weekdayEnabled());
        QVERIFY(f.form.monthEnabled() && f.form.dayEnabled());
    }

    void save_data() {
        QTest::addColumn<MemoEditorForm::Period>("period");
        QTest::addColumn<QString>("weekday");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("record"); // empty: refused
        QTest::addColumn<QString>("message");
        using P = MemoEditorForm::Period;
        QTest::newRow("weekly 3 18:00:00")
            << P::Weekly << QStringLiteral("3") << QStringLiteral("12") << QStringLiteral("31")
            << QStringLiteral("18:00:00") << QStringLiteral("开会") << QStringLiteral("1|周|3|18:00:00|开会")
            << QString();
        QTest::newRow("yearly 1 and 5 padded")
            << P::Yearly << QStringLiteral("7") << QStringLiteral("1") << QStringLiteral("5")
            << QStringLiteral("21:59:00") << QStringLiteral("t") << QStringLiteral("1|年|01-05|21:59:00|t")
            << QString();
        QTest::newRow("month 13 becomes 12, day 45 becomes 31")
            << P::Yearly << QStringLiteral("7") << QStringLiteral("13") << QStringLiteral("45")
            << QStringLiteral("00:00:00") << QStringLiteral("t") << QStringLiteral("1|年|12-31|00:00:00|t")
            << QString();
        QTest::newRow("00 becomes 01")
            << P::Monthly << QStringLiteral("7") << QStringLiteral("00") << QStringLiteral("00")
            << QStringLiteral("00:00:00") << QStringLiteral("t") << QStringLiteral("1|月|01|00:00:00|t")
            << QString();
        QTest::newRow("day 0 becomes 01")
            << P::Quarterly << QStringLiteral("7") << QStringLiteral("12") << QStringLiteral("0")
            << QStringLiteral("00:00:00") << QStringLiteral("t") << QStringLiteral("1|季|01|00:00:00|t")
            << QString();
        QTest::newRow("weekday 0 becomes 1")
            << P::Weekly << QStringLiteral("0") << QStringLiteral("12") << QStringLiteral("31")
            << QStringLiteral("00:00:00") << QStringLiteral("t") << QStringLiteral("1|周|1|00:00:00|t")
            << QString();
        QTest::newRow("blank title stored empty")
            << P::Daily << QStringLiteral("7") << QStringLiteral("12") << QStringLiteral("31")
            << QStringLiteral("07:00:00") << QStringLiteral("   ") << QStringLiteral("1|日|31|07:00:00|")
            << QString();
        const QString timeMessage =
            QStringLiteral("提醒时间格式有误！请重填（正确为24小时制，例子：21:59:00）");
        QTest::newRow("9:00:00 refused")
            << P::Daily << QStringLiteral("7") << QStringLiteral("12") << QStringLiteral("31")
            << QStringLiteral("9:00:00") << QStringLiteral("t") << QString() << timeMessage;
        QTest::newRow("24:00:00 refused")
            << P::Daily << QStringLiteral("7") << QStringLiteral("12") << QStringLiteral("31")
            << QStringLiteral("24:00:00") << QStringLiteral("t") << QString() << timeMessage;
        QTest::newRow("empty title refused")
            << P::Daily << QStringLiteral("7") << QStringLiteral("12") << QStringLiteral("31")
            << QStringLiteral("07:00:00") << QString() << QString() << QStringLiteral("便笺标题不能为空！");
    }
    void save() {
        QFETCH(MemoEditorForm::Period, period);
        QFETCH(QString, record);
        QFETCH(QString, message);
        Fixture f;
        f.form.LoadMemo(3, f.body);
        const QString before = f.record(3);
        f.form.choosePeriod(period);
        f.form.enabled = true;
        QFETCH(QString, weekday);
        f.form.weekday = weekday;
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, time);
        QFETCH(QString, title);
        f.form.month = month;
        f.form.day = day;
        f.form.clampMonthAndDay();
        f.form.time = time;
        f.form.title = title;
        const bool saved = f.form.save(f.body);
        QCOMPARE(saved, !record.isEmpty());
        if (saved) {
            QCOMPARE(f.record(3), record);
            QCOMPARE(f.balloons.shown, QStringList{QStringLiteral("便笺编辑|便笺[3]修改保存成功!|1")});
            QVERIFY(f.dialogs.shown.isEmpty());
        } else {
            QCOMPARE(f.record(3), before);
            QCOMPARE(f.dialogs.shown.size(), 1);
            QCOMPARE(f.dialogs.shown[0].text, message);
            QCOMPARE(f.dialogs.shown[0].title, QString());
        }
    }

    void bodyIsSavedFirstAndAnEmptyBodyKeepsTheFile() {
        Fixture f;
        const QString path = f.dir.filePath(QStringLiteral("M5.rtf"));
        writeBytes(path, "{\\rtf1 old body}");
        f.form.LoadMemo(5, f.body);
        QCOMPARE(f.body.toPlainText(), QStringLiteral("old body"));
        f.body.clear();
        f.form.title = QStringLiteral("t");
        QVERIFY(f.form.save(f.body));
        QCOMPARE(readBytes(path), QByteArray("{\\rtf1 old body}"));

        f.body.setPlainText(QStringLiteral("新的内容"));
        f.form.title.clear(); // refused, but the body is saved already
        QVERIFY(!f.form.save(f.body));
        QCOMPARE(RtfReader::plainText(readBytes(path)), QStringLiteral("新的内容"));
    }

    void keyFilters() {
        QVERIFY(MemoEditorForm::acceptsKey(2, u'7'));
        QVERIFY(!MemoEditorForm::acceptsKey(2, u'8'));
        QVERIFY(!MemoEditorForm::acceptsKey(3, u'a'));
        QVERIFY(MemoEditorForm::acceptsKey(3, QChar(8)));
        QVERIFY(MemoEditorForm::acceptsKey(5, u':'));
        QVERIFY(!MemoEditorForm::acceptsKey(4, u'：'));
        QVERIFY(MemoEditorForm::acceptsKey(1, u'字'));
    }

    void recordWithFewPiecesFillsWhatItHas() {
        Fixture f;
        f.settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M6"), QStringLiteral("1|周|3"));
        f.form.LoadMemo(6, f.body);
        QVERIFY(f.form.enabled);
        QCOMPARE(f.form.period, MemoEditorForm::Period::Weekly);
        QCOMPARE(f.form.weekday, QStringLiteral("3"));
        QCOMPARE(f.form.time, QStringLiteral("00:00:00"));
        QCOMPARE(f.form.title, QString());
    }

    // A lunar birthday: saved, reopened, and read by a reader that knows only
    // the original keys (the record parser, which ignores L0..L8).
    void lunarRoundTrip_data() {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<bool>("leap");
        QTest::addColumn<QString>("stored"); // the L key
        QTest::addColumn<QString>("date");   // the record's Gregorian day
        QTest::addColumn<QString>("note");
        // Dates from liblunar-date: 2026-06-14 is 四月廿九 of 2026, 2020-06-20
        // 闰四月廿九 of 2020, 2023-04-19 闰二月廿九 of 2023.
        QTest::newRow("leap month without its leap year")
            << QDate(2026, 1, 5) << QStringLiteral("04") << QStringLiteral("29") << true
            << QStringLiteral("闰04-29") << QStringLiteral("06-14")
            << QStringLiteral("农历闰四月廿九，下次：2026-06-14；无此闰月之年按四月廿九提醒");
        QTest::newRow("its leap year")
            << QDate(2020, 6, 1) << QStringLiteral("04") << QStringLiteral("29") << true
            << QStringLiteral("闰04-29") << QStringLiteral("06-20")
            << QStringLiteral("农历闰四月廿九，下次：2020-06-20；无此闰月之年按四月廿九提醒");
        QTest::newRow("day 30 of a 29-day leap month")
            << QDate(2023, 3, 1) << QStringLiteral("2") << QStringLiteral("30") << true
            << QStringLiteral("闰02-30") << QStringLiteral("04-19")
            << QStringLiteral(
                   "农历闰二月三十，下次：2023-04-19；无此闰月之年按二月三十提醒；该月只有29天时按廿九提醒");
        QTest::newRow("spring festival") << QDate(2026, 1, 5) << QStringLiteral("01") << QStringLiteral("01")
                                         << false << QStringLiteral("01-01") << QStringLiteral("02-17")
                                         << QStringLiteral("农历正月初一，下次：2026-02-17");
    }
    void lunarRoundTrip() {
        QFETCH(QDate, today);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(bool, leap);
        QFETCH(QString, date);
        Fixture f;
        f.form.today = today;
        f.form.LoadMemo(3, f.body);
        f.form.choosePeriod(MemoEditorForm::Period::Yearly);
        f.form.lunar = true;
        f.form.leapMonth = leap;
        f.form.month = month;
        f.form.day = day;
        f.form.time = QStringLiteral("08:00:00");
        f.form.title = QStringLiteral("生日");
        f.form.enabled = true;
        QTEST(f.form.lunarNote(), "note");
        QVERIFY(f.form.save(f.body));
        QTEST(f.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("L3")), "stored");
        QCOMPARE(f.record(3), QStringLiteral("1|年|") + date + QStringLiteral("|08:00:00|生日"));

        MemoSlot original = MemoSlot::initial(3);
        applyRecord(original, f.record(3));
        QCOMPARE(original.period, QStringLiteral("年"));
        QCOMPARE(original.date, date);
        QCOMPARE(original.time, QStringLiteral("08:00:00"));

        MemoEditorForm reopened(f.settings, f.dialogs, &f.balloons);
        reopened.today = today;
        reopened.LoadMemo(3, f.body);
        QVERIFY(reopened.lunar);
        QCOMPARE(reopened.leapMonth, leap);
        QCOMPARE(reopened.month, month.rightJustified(2, u'0'));
        QCOMPARE(reopened.day, day);
        QTEST(reopened.lunarNote(), "note");
    }

    void switchingOffLunarEmptiesItsKey() {
        Fixture f;
        f.settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M2"),
                                QStringLiteral("1|年|02-17|08:00:00|春节"));
        f.settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("L2"), QStringLiteral("01-01"));
        f.form.LoadMemo(2, f.body);
        QVERIFY(f.form.lunar);
        f.form.lunar = false;
        f.form.month = QStringLiteral("03");
        f.form.day = QStringLiteral("31");
        QVERIFY(f.form.save(f.body));
        QCOMPARE(f.record(2), QStringLiteral("1|年|03-31|08:00:00|春节"));
        QCOMPARE(f.settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("L2")), QString());
        // A lunar day has no 31st: the box stops at 30.
        f.form.lunar = true;
        f.form.clampMonthAndDay();
        QCOMPARE(f.form.day, QStringLiteral("30"));
    }
};

QTEST_MAIN(tst_MemoEditorForm)
#include "tst_MemoEditorForm.moc"
