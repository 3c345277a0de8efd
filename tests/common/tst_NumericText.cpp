// SPDX-License-Identifier: MIT
#include "common/NumericText.h"

#include <QTest>

class tst_NumericText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void intValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QStringLiteral("10970") << 10970;
        QTest::newRow("leading zero") << QStringLiteral("01") << 1;
        QTest::newRow("leading blanks") << QStringLiteral("  42") << 42;
        QTest::newRow("numeric prefix") << QStringLiteral("120px") << 120;
        QTest::newRow("negative") << QStringLiteral("-300") << -300;
        QTest::newRow("decimal rounds") << QStringLiteral("7.6") << 8;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("letters") << QStringLiteral("abc") << 0;
        QTest::newRow("sign alone") << QStringLiteral("-") << 0;
        QTest::newRow("exponent") << QStringLiteral("1e3") << 1000;
        QTest::newRow("e without digits") << QStringLiteral("5e") << 5;
        QTest::newRow("huge clamps") << QStringLiteral("99999999999999999999")
                                     << std::numeric_limits<int>::max();
        QTest::newRow("hex literal") << QStringLiteral("&H10&") << 16;
        QTest::newRow("full-width digits are not numbers") << QStringLiteral("１２") << 0;
    }
    void intValue() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(NumericText::intValueOf(text), value);
    }

    void colourValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("word");
        QTest::newRow("system colour") << QStringLiteral("&H80000005&") << quint32(0x80000005);
        QTest::newRow("literal") << QStringLiteral("&H00C0C0FF&") << quint32(0x00C0C0FF);
        QTest::newRow("lower case") << QStringLiteral("&h00eef5ff&") << quint32(0x00EEF5FF);
        QTest::newRow("no closing ampersand") << QStringLiteral("&HFF") << quint32(0xFF);
        QTest::newRow("decimal") << QStringLiteral("255") << quint32(255);
        QTest::newRow("garbage") << QStringLiteral("&Hzz") << quint32(0);
        QTest::newRow("more than eight digits keeps the low word")
            << QStringLiteral("&H1234567890&") << quint32(0x34567890);
    }
    void colourValue() {
        QFETCH(QString, text);
        QFETCH(quint32, word);
        QCOMPARE(NumericText::colourValueOf(text), word);
    }
};

QTEST_GUILESS_MAIN(tst_NumericText)
#include "tst_NumericText.moc"
