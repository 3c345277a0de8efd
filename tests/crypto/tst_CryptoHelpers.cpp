// SPDX-License-Identifier: MIT
#include "crypto/CryptoHelpers.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_CryptoHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { setCryptoMessages(nullptr); }

    void bytesToHex_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hex");
        QTest::newRow("three bytes") << QByteArray::fromHex("00ab5f") << QStringLiteral("00AB5F");
        QTest::newRow("48 bytes: blanks before byte 32")
            << QByteArray(48, '\x11') << QString(64, u'1') + QStringLiteral("  ") + QString(32, u'1');
        QTest::newRow("64 bytes: no blanks after the last")
            << QByteArray(64, '\x22') << QString(64, u'2') + QStringLiteral("  ") + QString(64, u'2');
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void bytesToHex() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, hex);
        QCOMPARE(BytesToHex(bytes, bytes.size(), 32), hex);
        QCOMPARE(HexToBytes(hex), bytes);
    }

    void hexToBytes_data() {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("blank inside a pair, odd digit dropped")
            << QStringLiteral("0a b") << QByteArray::fromHex("0a");
        QTest::newRow("lower and upper case") << QStringLiteral("aBcD") << QByteArray::fromHex("abcd");
        QTest::newRow("stray characters skipped")
            << QStringLiteral("z1-2;3xx4") << QByteArray::fromHex("1234");
        QTest::newRow("no digits") << QStringLiteral("ghij") << QByteArray();
        QTest::newRow("full-width digits are not digits") << QStringLiteral("１２") << QByteArray();
    }
    void hexToBytes() {
        QFETCH(QString, hex);
        QFETCH(QByteArray, bytes);
        QCOMPARE(HexToBytes(hex), bytes);
    }

    void keyBytes() {
        QCOMPARE(KeyBytesFromText(QStringLiteral("ab")), QByteArray("ab") + QByteArray(30, '\0'));
        QCOMPARE(KeyBytesFromText(QStringLiteral("中")), QByteArray::fromHex("d6d0") + QByteArray(30, '\0'));
        QCOMPARE(KeyBytesFromText(QString(40, u'x')), QByteArray(32, 'x'));
        QCOMPARE(KeyBytesFromText(QStringLiteral("ab") + QChar(0)), KeyBytesFromText(QStringLiteral("ab")));
    }

    void encryptStringLengths_data() {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("hexLength");
        QTest::newRow("1") << 1 << 32;
        QTest::newRow("16") << 16 << 32;
        QTest::newRow("17") << 17 << 64;
        QTest::newRow("32") << 32 << 64;
        QTest::newRow("33") << 33 << 98;
    }
    void encryptStringLengths() {
        QFETCH(int, bytes);
        QFETCH(int, hexLength);
        const QString text(bytes, u'a');
        const QString hex = EncryptString(text, QStringLiteral("key"));
        QCOMPARE(hex.size(), hexLength);
        QCOMPARE(hex, hex.toUpper());
        QCOMPARE(DecryptString(hex, QStringLiteral("key")), text + QString((16 - bytes % 16) % 16, QChar(0)));
    }

    void stringRoundTripKeepsGbkAndPadding() {
        const QString hex = EncryptString(QStringLiteral("答案abc"), QStringLiteral("密钥"));
        QCOMPARE(DecryptString(hex, QStringLiteral("密钥")),
                 QStringLiteral("答案abc") + QString(9, QChar(0)));
        QCOMPARE(DecryptString(hex.toLower(), QStringLiteral("密钥")).left(5), QStringLiteral("答案abc"));
    }

    void stringEdgeCases() {
        RecordingDialogs dialogs;
        setCryptoMessages(&dialogs);
        QCOMPARE(EncryptString(QString(), QStringLiteral("k")), QString());
        QCOMPARE(EncryptString(QStringLiteral("t"), QString()), QString());
        QCOMPARE(DecryptString(QString(), QStringLiteral("k")), QString());
        QCOMPARE(DecryptString(QStringLiteral("zz"), QStringLiteral("k")),
                 QStringLiteral("错误：文本非16位数据！"));
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(DecryptString(QString(30, u'A'), QStringLiteral("k")), QString());
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("错误：密文大小与原块数倍数不符！"));
    }

    void filesUseTheFirstSixteenKeyBytes() {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("a.txt"));
        writeBytes(plain, "sixteen shared characters");
        QVERIFY(
            EncryptFileWithKey(plain, plain + QStringLiteral(".aes"), QStringLiteral("0123456789abcdefONE")));
        const QString back = dir.filePath(QStringLiteral("back.txt"));
        QVERIFY(
            DecryptFileWithKey(plain + QStringLiteral(".aes"), back, QStringLiteral("0123456789abcdefTWO")));
        QCOMPARE(readBytes(back), QByteArray("sixteen shared characters"));
    }

    void fileRoutinesFailWithoutTouchingTheTarget() {
        QTemporaryDir dir;
        RecordingDialogs dialogs;
        setCryptoMessages(&dialogs);
        const QString target = dir.filePath(QStringLiteral("t.aes"));
        writeBytes(target, "old");
        FileCryptoError why = FileCryptoError::None;
        QVERIFY(!EncryptFileWithKey(dir.filePath(QStringLiteral("missing")), target, QStringLiteral("k"), {},
                                    &why));
        QCOMPARE(why, FileCryptoError::MissingArgument);
        QVERIFY(!EncryptFileWithKey(dir.path(), target, QStringLiteral("k"))); // a folder is no file
        writeBytes(dir.filePath(QStringLiteral("p")), "plain");
        QVERIFY(!EncryptFileWithKey(dir.filePath(QStringLiteral("p")), target, QString()));
        QCOMPARE(readBytes(target), QByteArray("old"));

        // A wrong key is a failure, not a success.
        QVERIFY(EncryptFileWithKey(dir.filePath(QStringLiteral("p")), target, QStringLiteral("right")));
        const QString out = dir.filePath(QStringLiteral("out"));
        bool anyFailure = false;
        for (const QString &wrong :
             {QStringLiteral("wrong1"), QStringLiteral("wrong2"), QStringLiteral("wrong3")}) {
            if (!DecryptFileWithKey(target, out, wrong, {}, &why)) {
                anyFailure = true;
                QCOMPARE(why, FileCryptoError::Engine);
                QVERIFY(!QFileInfo::exists(out));
            }
        }
        QVERIFY(anyFailure);
    }

    void encryptingOverAnExistingTargetReplacesIt() {
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("p"));
        const QString target = dir.filePath(QStringLiteral("p.aes"));
        writeBytes(target, QByteArray(100, 'o'));
        writeBytes(plain, "short");
        QVERIFY(EncryptFileWithKey(plain, target, QStringLiteral("k")));
        QCOMPARE(QFileInfo(target).size(), 16);
    }

    void killFileRemovesReadOnlyFilesOnly() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("ro"));
        writeBytes(file, "x");
        QFile::setPermissions(file, QFileDevice::ReadOwner);
        KillFile(file);
        QVERIFY(!QFileInfo::exists(file));
        KillFile(dir.path());
        QVERIFY(QFileInfo(dir.path()).isDir());
        QVERIFY(!FileExists(dir.path()));
        QVERIFY(!FileExists(QString()));
    }
};

QTEST_GUILESS_MAIN(tst_CryptoHelpers)
#include "tst_CryptoHelpers.moc"
