// SPDX-License-Identifier: MIT
// The GBK conversions: no call reaches into the next, and the program's own
// tables convert exactly as Qt's GBK converter (code page 936) does, byte by
// byte and character by character.
#include "common/AnsiCodec.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
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

    void decodesEveryByteAndPairAsQtsConverter() {
        QStringDecoder reference("GBK", QStringConverter::Flag::Stateless);
        if (!reference.isValid())
            QSKIP("this Qt has no GBK converter to compare with");
        for (int first = 0; first < 256; ++first) {
            const QByteArray single(1, char(first));
            QCOMPARE(AnsiCodec::decode(single), QString(reference.decode(single)));
            for (int second = 0; second < 256; ++second) {
                const char pair[] = {char(first), char(second)};
                const QByteArrayView bytes(pair, 2);
                if (AnsiCodec::decode(bytes) != QString(reference.decode(bytes)))
                    QFAIL(qPrintable(QStringLiteral("bytes %1 decode otherwise")
                                         .arg(QString::fromLatin1(bytes.toByteArray().toHex(' ')))));
            }
        }
    }

    void encodesEveryCharacterAsQtsConverter() {
        QStringEncoder reference("GBK", QStringConverter::Flag::Stateless);
        if (!reference.isValid())
            QSKIP("this Qt has no GBK converter to compare with");
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            const QString text = c < 0x10000 ? QString(QChar(char16_t(c))) : QString::fromUcs4(&c, 1);
            // A lone surrogate both at the end and before another character.
            const QString before = QChar::isSurrogate(c) ? text + u'A' : text;
            if (AnsiCodec::encode(text) != QByteArray(reference.encode(text)) ||
                AnsiCodec::encode(before) != QByteArray(reference.encode(before)))
                QFAIL(
                    qPrintable(QStringLiteral("U+%1 encodes otherwise").arg(quint32(c), 4, 16, QChar(u'0'))));
        }
    }

    void convertsRandomRunsAsQtsConverter() {
        QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
        QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
        if (!decoder.isValid() || !encoder.isValid())
            QSKIP("this Qt has no GBK converter to compare with");
        QRandomGenerator random(936);
        for (int run = 0; run < 2000; ++run) {
            QByteArray bytes;
            QString text;
            const int length = random.bounded(1, 40);
            for (int i = 0; i < length; ++i) {
                bytes += char(random.bounded(3) == 0 ? random.bounded(0x80) : random.bounded(0x80, 0x100));
                static constexpr char16_t kinds[][2] = {
                    {0x20, 0x7F}, {0x4E00, 0x9FA6}, {0xD800, 0xE000}, {0x200B, 0x2010}, {0xE000, 0xE800}};
                const auto &kind = kinds[random.bounded(int(std::size(kinds)))];
                text += QChar(char16_t(random.bounded(kind[0], kind[1])));
            }
            QCOMPARE(AnsiCodec::decode(bytes), QString(decoder.decode(bytes)));
            QCOMPARE(AnsiCodec::encode(text), QByteArray(encoder.encode(text)));
        }
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
