// SPDX-License-Identifier: MIT
#include "crypto/MasterKey.h"

#include <QTest>

class tst_MasterKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void build_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("master");
        // "qz": 113 + 122 = 235, k = floor(23.5 / 6) = 3; the shifts are
        // +1, -3, -4, -4, -3, +1 for positions 1..6, then again.
        QTest::newRow("ascii, one full round and one more")
            << QStringLiteral("ABCDEFG") << QStringLiteral("qz") << QStringLiteral("B??@BGH");
        // 啊 is B0A1, read as the signed code -20319; +1 gives B0A2, 阿.
        QTest::newRow("double-byte character shifts within GBK")
            << QStringLiteral("啊") << QStringLiteral("qz") << QStringLiteral("阿");
        // 中 is D6D0 = -10544, so k = floor(-1054.4 / 6) = -176: "z" becomes
        // 302 and -60, neither of them a character of the code page.
        QTest::newRow("codes without a character drop out")
            << QStringLiteral("zz") << QStringLiteral("中") << QString();
        QTest::newRow("empty key text: k = 0") << QStringLiteral("a") << QString() << QStringLiteral("e");
    }
    void build() {
        QFETCH(QString, base);
        QFETCH(QString, key);
        QFETCH(QString, master);
        QCOMPARE(BuildMasterKey(base, key), master);
    }

    void programResourcesGiveOnlyPrintableCharacters() {
        const QString base = masterKeyBaseText();
        const QString master = BuildMasterKey(base, masterKeyKeyText());
        QCOMPARE(master.size(), base.size());
        for (const QChar c : master)
            QVERIFY2(c.unicode() > 0x20 && c.unicode() < 0x7F, qPrintable(master));
    }
};

QTEST_GUILESS_MAIN(tst_MasterKey)
#include "tst_MasterKey.moc"
