// SPDX-License-Identifier: MIT
#include "settings/SettingRules.h"

#include <QTest>

class tst_SettingRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clockTime_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("17:30:00") << QStringLiteral("17:30:00") << true;
        QTest::newRow("00:00:00") << QStringLiteral("00:00:00") << true;
        QTest::newRow("23:59:59") << QStringLiteral("23:59:59") << true;
        QTest::newRow("24:00:00") << QStringLiteral("24:00:00") << false;
        QTest::newRow("19:00:00") << QStringLiteral("19:00:00") << true;
        QTest::newRow("12:60:00") << QStringLiteral("12:60:00") << false;
        QTest::newRow("12:00:60") << QStringLiteral("12:00:60") << false;
        QTest::newRow("7:30:00") << QStringLiteral("7:30:00") << false;
        QTest::newRow("1:2:3 PM") << QStringLiteral("1:2:3 PM") << false;
        QTest::newRow("7:30:0PM") << QStringLiteral("7:30:0PM") << false;
        QTest::newRow(" 7:30:00") << QStringLiteral(" 7:30:00") << false;
        QTest::newRow("17-30-00") << QStringLiteral("17-30-00") << false;
        QTest::newRow("17:30:00 and more") << QStringLiteral("17:30:000") << false;
        QTest::newRow("2018-1-1") << QStringLiteral("2018-1-1") << false;
        QTest::newRow("full-width digits") << QStringLiteral("１７:３０:００") << false;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("١٧:٣٠:٠٠") << false;
        QTest::newRow("a sign") << QStringLiteral("+7:30:00") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void clockTime() {
        QFETCH(QString, text);
        QTEST(SettingRules::isClockTime(text), "accepted");
    }

    void folderCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("公文") << QStringLiteral("公文") << true;
        QTest::newRow("dots inside") << QStringLiteral("a..b") << true;
        QTest::newRow("three dots") << QStringLiteral("...") << true;
        QTest::newRow("..") << QStringLiteral("..") << false;
        QTest::newRow(".") << QStringLiteral(".") << false;
        QTest::newRow("../x") << QStringLiteral("../x") << false;
        QTest::newRow("a/b") << QStringLiteral("a/b") << false;
        QTest::newRow("/abs") << QStringLiteral("/abs") << false;
        QTest::newRow("a\\b") << QStringLiteral("a\\b") << false;
        QTest::newRow("a|b") << QStringLiteral("a|b") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void folderCaption() {
        QFETCH(QString, caption);
        QTEST(SettingRules::isFolderCaption(caption), "accepted");
    }
};

QTEST_GUILESS_MAIN(tst_SettingRules)
#include "tst_SettingRules.moc"
