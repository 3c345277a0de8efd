// SPDX-License-Identifier: MIT
// The GBK conversions keep one converter per thread: a character cut at the
// end of one call must not reach into the next call.
#include "common/AnsiCodec.h"

#include <QTest>

#include <thread>

class tst_AnsiCodec : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void callsDoNotLeakIntoEachOther() {
        const QString cut = AnsiCodec::decode("\xB1\xE3\xB9"); // 便 and half of 笺
        QCOMPARE(cut.left(1), QStringLiteral("便"));
        QVERIFY(!cut.contains(u'笺'));
        // The lead byte of 笺 alone, then its trail byte alone.
        QVERIFY(!AnsiCodec::decode("\xBC").contains(u'笺'));
        QVERIFY(!AnsiCodec::decode("\xE3").contains(u'笺'));
        QCOMPARE(AnsiCodec::decode("A\xB1\xE3"), QStringLiteral("A便"));
        QCOMPARE(AnsiCodec::encode(u"便笺"), QByteArray("\xB1\xE3\xBC\xE3"));
        QCOMPARE(AnsiCodec::encode(u"\U0001F600"), QByteArray("?"));
        QCOMPARE(AnsiCodec::encode(u"A"), QByteArray("A"));
    }

    void eachThreadConvertsOnItsOwn() {
        auto convert = [] {
            for (int i = 0; i < 2000; ++i) {
                if (AnsiCodec::decode(AnsiCodec::encode(u"便笺提醒")) != QStringLiteral("便笺提醒"))
                    return false;
            }
            return true;
        };
        bool otherConverted = false;
        std::thread other([&] { otherConverted = convert(); });
        const bool converted = convert();
        other.join();
        QVERIFY(converted);
        QVERIFY(otherConverted);
    }
};

QTEST_GUILESS_MAIN(tst_AnsiCodec)
#include "tst_AnsiCodec.moc"
