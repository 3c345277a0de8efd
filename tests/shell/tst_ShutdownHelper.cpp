// SPDX-License-Identifier: MIT
#include "board/ClockPanel.h"
#include "common/ProcessValues.h"
#include "shell/ShutdownHelper.h"

#include "TestSupport.h"

#include <QTest>

class tst_ShutdownHelper : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void timedShutdownInput_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: nothing shown
        QTest::addColumn<QString>("armed");   // ShutdownTime afterwards
        const QString notATime = QStringLiteral("自动关机时间格式有误！请重试！");
        const QString wrongFormat = QStringLiteral("时间格式有误！请重试！（例子：17:30:00）");
        QTest::newRow("17:30:00")
            << QStringLiteral("17:30:00")
            << QStringLiteral("电脑将于17:30:00关机！若想固定每天自动关机时间，请到[软件设置]进行设定！")
            << QStringLiteral("17:30:00");
        QTest::newRow("blanks around")
            << QStringLiteral("  07:05:09 ")
            << QStringLiteral("电脑将于07:05:09关机！若想固定每天自动关机时间，请到[软件设置]进行设定！")
            << QStringLiteral("07:05:09");
        QTest::newRow("7:30:00 is a time but 7 long")
            << QStringLiteral("7:30:00") << wrongFormat << QStringLiteral("old");
        QTest::newRow("25:00:00") << QStringLiteral("25:00:00") << notATime << QStringLiteral("old");
        QTest::newRow("2018-1-1 is a date")
            << QStringLiteral("2018-1-1") << wrongFormat << QStringLiteral("old");
        QTest::newRow("17:30") << QStringLiteral("17:30") << wrongFormat << QStringLiteral("old");
        QTest::newRow("12:60:00") << QStringLiteral("12:60:00") << notATime << QStringLiteral("old");
        QTest::newRow("letters") << QStringLiteral("abcdefgh") << notATime << QStringLiteral("old");
        QTest::newRow("2018-2-30") << QStringLiteral("2018-2-30") << notATime << QStringLiteral("old");
        QTest::newRow("only blanks") << QStringLiteral("   ") << QString() << QStringLiteral("old");
        // Times the date parser takes that are 8 long but never equal the
        // clock's "HH:mm:ss", so they could never fire.
        QTest::newRow("1:2:3 PM") << QStringLiteral("1:2:3 PM") << wrongFormat << QStringLiteral("old");
        QTest::newRow("7:30:0PM") << QStringLiteral("7:30:0PM") << wrongFormat << QStringLiteral("old");
        QTest::newRow("12:0:0AM") << QStringLiteral("12:0:0AM") << wrongFormat << QStringLiteral("old");
        QTest::newRow("7:3:5 am") << QStringLiteral("7:3:5 am") << wrongFormat << QStringLiteral("old");
        QTest::newRow("full-width digits")
            << QStringLiteral("１７:３０:００") << notATime << QStringLiteral("old");
        QTest::newRow("00:00:00")
            << QStringLiteral("00:00:00")
            << QStringLiteral("电脑将于00:00:00关机！若想固定每天自动关机时间，请到[软件设置]进行设定！")
            << QStringLiteral("00:00:00");
        QTest::newRow("23:59:59")
            << QStringLiteral("23:59:59")
            << QStringLiteral("电脑将于23:59:59关机！若想固定每天自动关机时间，请到[软件设置]进行设定！")
            << QStringLiteral("23:59:59");
    }
    void timedShutdownInput() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, armed);
        RecordingDialogs dialogs;
        dialogs.inputAnswers.enqueue(typed);
        RecordingShutdownRunner runner;
        ProcessValues values;
        values.ShutdownTime = QStringLiteral("old");
        ShutdownHelper helper(dialogs, runner, values);
        helper.App_Shuttime_Click();

        QCOMPARE(dialogs.shown[0].text, QStringLiteral("请输入定时关机的时间（24小时制，格式：17:30:00）："));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("【定时关机】"));
        if (message.isEmpty()) {
            QCOMPARE(dialogs.shown.size(), 1);
        } else {
            QCOMPARE(dialogs.shown.size(), 2);
            QCOMPARE(dialogs.shown[1].text, message);
            QCOMPARE(dialogs.shown[1].title, QStringLiteral("提示"));
            QCOMPARE(dialogs.shown[1].icon,
                     armed == u"old" ? MessageIcon::Warning : MessageIcon::Information);
        }
        QCOMPARE(values.ShutdownTime, armed);
        QVERIFY(runner.calls.isEmpty());
    }

    void cancelChangesNothing() {
        RecordingDialogs dialogs;
        RecordingShutdownRunner runner;
        ProcessValues values;
        values.ShutdownTime = QStringLiteral("08:00:00");
        ShutdownHelper helper(dialogs, runner, values);
        helper.App_Shuttime_Click();
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(values.ShutdownTime, QStringLiteral("08:00:00"));
    }

    void shutDownNowAndCancel() {
        RecordingDialogs dialogs;
        RecordingShutdownRunner runner;
        ProcessValues values;
        ShutdownHelper helper(dialogs, runner, values);
        helper.App_ShutGJ_Click();
        helper.App_ShutQX_Click();
        QCOMPARE(runner.calls,
                 (QStringList{QStringLiteral("shutdown:"
                                             "【Tackora】小助手提醒您：电脑即将关机，请及时保存手头工作！若要"
                                             "取消本次关机可点击菜单[取消关机]！"),
                              QStringLiteral("cancel")}));
    }

    void countOccurrences() {
        QCOMPARE(CountOccurrences(QStringLiteral("17:30:00"), QStringLiteral(":")), 2);
        QCOMPARE(CountOccurrences(QStringLiteral("abab"), QStringLiteral("ab")), 2);
        QCOMPARE(CountOccurrences(QStringLiteral("x"), QString()), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ShutdownHelper)
#include "tst_ShutdownHelper.moc"
