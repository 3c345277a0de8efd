// SPDX-License-Identifier: MIT
#include "memos/MemoRecord.h"
#include "memos/MemoSlots.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_MemoRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void apply_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<int>("enabled");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("title");
        QTest::newRow("full") << QStringLiteral("1|月|15|08:30:00|交房租") << 1 << QStringLiteral("月")
                              << QStringLiteral("15") << QStringLiteral("08:30:00")
                              << QStringLiteral("交房租");
        QTest::newRow("three pieces keep time and title")
            << QStringLiteral("1|周|3") << 1 << QStringLiteral("周") << QStringLiteral("3")
            << QStringLiteral("未启用") << QString();
        QTest::newRow("bar in a title cuts it")
            << QStringLiteral("0|日|1|07:00:00|a|b|c") << 0 << QStringLiteral("日") << QStringLiteral("1")
            << QStringLiteral("07:00:00") << QStringLiteral("a");
        QTest::newRow("blanks around pieces")
            << QStringLiteral(" 1 | 年 | 01-10 | 00:00:00 | 标题 ") << 1 << QStringLiteral("年")
            << QStringLiteral("01-10") << QStringLiteral("00:00:00") << QStringLiteral("标题");
        QTest::newRow("non-numeric switch reads 0")
            << QStringLiteral("x|月|1|00:00:00|t") << 0 << QStringLiteral("月") << QStringLiteral("1")
            << QStringLiteral("00:00:00") << QStringLiteral("t");
        QTest::newRow("switch the box refuses keeps it")
            << QStringLiteral("7|月|1|00:00:00|t") << 1 << QStringLiteral("月") << QStringLiteral("1")
            << QStringLiteral("00:00:00") << QStringLiteral("t");
        QTest::newRow("empty record changes nothing")
            << QString() << 1 << QStringLiteral("old") << QStringLiteral("d") << QStringLiteral("t")
            << QStringLiteral("x");
    }
    void apply() {
        QFETCH(QString, record);
        MemoSlot slot = MemoSlot::initial(4);
        if (record.isEmpty() || record.startsWith(u'7')) {
            slot = {1, QStringLiteral("old"), QStringLiteral("d"), QStringLiteral("t"), QStringLiteral("x")};
            if (record.startsWith(u'7'))
                slot.enabled = 1;
        }
        applyRecord(slot, record);
        QTEST(slot.enabled, "enabled");
        QTEST(slot.period, "period");
        QTEST(slot.date, "date");
        QTEST(slot.time, "time");
        QTEST(slot.title, "title");
    }

    void initialLook() {
        const MemoSlot slot = MemoSlot::initial(0);
        QCOMPARE(slot.period, QStringLiteral("1"));
        QCOMPARE(slot.time, QStringLiteral("未启用"));
        QCOMPARE(slot.enabled, 0);
        QCOMPARE(MemoSlot::initial(8).period, QStringLiteral("9"));
    }

    void formatIsThePiecesJoined() {
        QCOMPARE(formatRecord(1, QStringLiteral("周"), QStringLiteral("3"), QStringLiteral("18:00:00"),
                              QStringLiteral("开会")),
                 QStringLiteral("1|周|3|18:00:00|开会"));
    }

    void loadMemosFromTheFile() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M2"),
                              QStringLiteral("1|月|15|08:30:00|交房租"));
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M4"), QString());
        // A value past the 255-byte read limit loses the end of its title.
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M5"),
                              QStringLiteral("1|日|1|09:00:00|") + QString(300, u'x'));
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M_color"),
                              QStringLiteral("&H00C0FFFF&"));
        MemoSlots slots;
        QSignalSpy body(&slots, &MemoSlots::bodyReloadRequested);
        slots.LoadMemos(settings);
        QCOMPARE(slots.slot(2).enabled, 1);
        QCOMPARE(slots.slot(2).period, QStringLiteral("月"));
        QCOMPARE(slots.slot(2).date, QStringLiteral("15"));
        QCOMPARE(slots.slot(0).date, QStringLiteral("01-10"));
        QCOMPARE(slots.slot(0).title, QStringLiteral("双击左边时间编辑便笺……"));
        QCOMPARE(slots.slot(4).time, QStringLiteral("未启用")); // empty record: initial look
        QCOMPARE(slots.slot(4).period, QStringLiteral("5"));
        QCOMPARE(slots.slot(5).title.size(), 255 - 16);
        QCOMPARE(slots.previewColourText(), QStringLiteral("&H00C0FFFF&"));
        QCOMPARE(body.size(), 0); // no current memo yet
        slots.setCurrentMemo(2);
        slots.LoadMemos(settings);
        QCOMPARE(body.size(), 1);
        QCOMPARE(slots.currentMemoOrFirst(), 2);
    }

    void validTimes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("21:59:00") << QStringLiteral("21:59:00") << true;
        QTest::newRow("9:00:00") << QStringLiteral("9:00:00") << true;
        QTest::newRow("9:00") << QStringLiteral("9:00") << true;
        QTest::newRow("24:00:00") << QStringLiteral("24:00:00") << false;
        QTest::newRow("12:60") << QStringLiteral("12:60") << false;
        QTest::newRow("未启用") << QStringLiteral("未启用") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("1:2:3") << QStringLiteral("1:2:3") << true;
        QTest::newRow("00:00:00") << QStringLiteral("00:00:00") << true;
        QTest::newRow("trailing colon") << QStringLiteral("12:30:") << false;
        QTest::newRow("empty minutes") << QStringLiteral("12::30") << false;
        QTest::newRow("three-digit hour") << QStringLiteral("123:00") << false;
        QTest::newRow("four fields") << QStringLiteral("1:2:3:4") << false;
        QTest::newRow("leading space") << QStringLiteral(" 9:00") << false;
        QTest::newRow("line break") << QStringLiteral("12:30\n") << false;
        // Digits that never equal the clock's text: the memo could never fall due.
        QTest::newRow("full-width digits") << QStringLiteral("１２:３０") << false;
    }
    void validTimes() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(isValidTimeOfDay(text), valid);
    }
};

QTEST_GUILESS_MAIN(tst_MemoRecords)
#include "tst_MemoRecords.moc"
