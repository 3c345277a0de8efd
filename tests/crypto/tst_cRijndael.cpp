// SPDX-License-Identifier: MIT
#include "crypto/cRijndael.h"

#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fromHex(const char *hex) {
    return QByteArray::fromHex(hex);
}

QByteArray key32(const QByteArray &key) {
    return key + QByteArray(32 - key.size(), '\0');
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(generator.generate() & 0xFF);
    return bytes;
}

// openssl as an independent reader of the container.
QByteArray opensslDecrypt(const QString &container, const QByteArray &key16) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("enc"), QStringLiteral("-d"), QStringLiteral("-aes-128-ecb"),
                   QStringLiteral("-nopad"), QStringLiteral("-K"), QString::fromLatin1(key16.toHex()),
                   QStringLiteral("-in"), container});
    openssl.waitForFinished(60000);
    return openssl.readAllStandardOutput();
}

} // namespace

class tst_cRijndael : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fips197Vectors_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QByteArray>("cipher");
        QTest::addColumn<bool>("instructions");
        const QByteArray k = fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
        for (bool instructions : {false, true}) {
            const char *path = instructions ? "AES instructions" : "tables";
            QTest::addRow("128 %s", path)
                << k.left(16) << 128 << fromHex("69c4e0d86a7b0430d8cdb78070b4c55a") << instructions;
            QTest::addRow("192 %s", path)
                << k.left(24) << 192 << fromHex("dda97ca4864cdfe06eaf70a0ec0d7191") << instructions;
            QTest::addRow("256 %s", path)
                << k << 256 << fromHex("8ea2b7ca516745bfeafc49904b496089") << instructions;
        }
    }
    void fips197Vectors() {
        QFETCH(QByteArray, key);
        QFETCH(int, bits);
        QFETCH(QByteArray, cipher);
        QFETCH(bool, instructions);
        if (instructions && !cRijndael::processorHasAesInstructions())
            QSKIP("this processor has no AES instructions");
        cRijndael engine;
        engine.setUseAesInstructions(instructions);
        QCOMPARE(engine.SetCipherKey(key32(key), bits), 0);
        const QByteArray plain = fromHex("00112233445566778899aabbccddeeff");
        QByteArray block = plain;
        auto *bytes = reinterpret_cast<uint8_t *>(block.data());
        engine.BlockEncrypt(bytes, bytes); // in place
        QCOMPARE(block.toHex(), cipher.toHex());
        engine.BlockDecrypt(bytes, bytes);
        QCOMPARE(block.toHex(), plain.toHex());
    }

    void bothPathsGiveTheSameBytes() {
        if (!cRijndael::processorHasAesInstructions())
            QSKIP("this processor has no AES instructions");
        cRijndael tables;
        tables.setUseAesInstructions(false);
        cRijndael instructions;
        for (int bits : {128, 192, 256}) {
            const QByteArray key = randomBytes(32, quint32(bits));
            tables.SetCipherKey(key, bits);
            instructions.SetCipherKey(key, bits);
            for (qsizetype blocks : {1, 7, 8, 9, 15, 17, 1001}) {
                const QByteArray plain = randomBytes(16 * blocks, quint32(blocks));
                QByteArray a = plain;
                QByteArray b = plain;
                tables.encryptBlocks(reinterpret_cast<uint8_t *>(a.data()), blocks);
                instructions.encryptBlocks(reinterpret_cast<uint8_t *>(b.data()), blocks);
                QCOMPARE(a, b);
                tables.decryptBlocks(reinterpret_cast<uint8_t *>(a.data()), blocks);
                instructions.decryptBlocks(reinterpret_cast<uint8_t *>(b.data()), blocks);
                QCOMPARE(a, plain);
                QCOMPARE(b, plain);
            }
            // Arrays of odd lengths through the padding.
            for (qsizetype length : {1, 15, 17, 31, 33, 255}) {
                QByteArray a;
                QByteArray b;
                const QByteArray plain = randomBytes(length, quint32(length));
                tables.ArrayEncrypt(plain, a, true);
                instructions.ArrayEncrypt(plain, b, true);
                QCOMPARE(a, b);
            }
        }
    }

    void illegalKeySizeThrowsAndKeepsTheKey() {
        cRijndael engine;
        const QByteArray key = key32(fromHex("000102030405060708090a0b0c0d0e0f"));
        engine.SetCipherKey(key, 128);
        try {
            engine.SetCipherKey(QByteArray(32, 'x'), 64);
            QFAIL("no error for 64 key bits");
        } catch (const RijndaelError &error) {
            QCOMPARE(error.number(), 1);
            QCOMPARE(QString::fromLatin1(error.what()),
                     QStringLiteral("cRijndael.SetCipherKey - Illegal KeyBits Value"));
        }
        QByteArray block = fromHex("00112233445566778899aabbccddeeff");
        engine.BlockEncrypt(reinterpret_cast<uint8_t *>(block.data()),
                            reinterpret_cast<uint8_t *>(block.data()));
        QCOMPARE(block.toHex(), QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
    }

    void arrays_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("appendSize");
        QTest::addColumn<int>("cipherLength");
        QTest::addColumn<int>("plainLength"); // after decryption
        QTest::newRow("20 without size") << 20 << false << 32 << 32;
        QTest::newRow("20 with size") << 20 << true << 32 << 20;
        QTest::newRow("32 with size") << 32 << true << 48 << 32;
        QTest::newRow("31 with size") << 31 << true << 32 << 31;
        QTest::newRow("32 without size") << 32 << false << 32 << 32;
        QTest::newRow("33 without size") << 33 << false << 48 << 48;
        QTest::newRow("0 with size") << 0 << true << 16 << 0;
    }
    void arrays() {
        QFETCH(int, length);
        QFETCH(bool, appendSize);
        QFETCH(int, cipherLength);
        QFETCH(int, plainLength);
        cRijndael engine;
        engine.SetCipherKey(QByteArray(32, 'k'), 256);
        const QByteArray plain = randomBytes(length, 7);
        QByteArray cipher;
        QCOMPARE(engine.ArrayEncrypt(plain, cipher, appendSize), 0);
        QCOMPARE(cipher.size(), cipherLength);
        QByteArray back;
        QCOMPARE(engine.ArrayDecrypt(back, cipher, appendSize), 0);
        QCOMPARE(back.size(), plainLength);
        QCOMPARE(back.left(length), plain);
        QCOMPARE(back.mid(length), QByteArray(plainLength - qMin(length, plainLength), '\0'));
    }

    void arrayErrorsShowTheEnginesMessages() {
        RecordingDialogs dialogs;
        cRijndael engine(&dialogs);
        engine.SetCipherKey(QByteArray(32, 'k'), 256);
        QByteArray plain("untouched");
        QCOMPARE(engine.ArrayDecrypt(plain, QByteArray(17, 'x'), true), -1);
        QCOMPARE(plain, QByteArray("untouched"));
        // A block whose deciphered length byte is above 15.
        QByteArray block(16, '\xFF');
        engine.encryptBlocks(reinterpret_cast<uint8_t *>(block.data()), 1);
        QCOMPARE(engine.ArrayDecrypt(plain, block, true), 1);
        QCOMPARE(plain, QByteArray(16, '\xFF'));
        QCOMPARE(dialogs.shown.size(), 2);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("错误：密文大小与原块数倍数不符！"));
        QCOMPARE(dialogs.shown[1].text, QStringLiteral("警告 - 长度字段不正确！"));
        QCOMPARE(dialogs.shown[1].title, QString());
        QCOMPARE(dialogs.shown[1].icon, MessageIcon::None);
    }

    void containerSizes_data() {
        QTest::addColumn<qint64>("plainSize");
        QTest::addColumn<qint64>("containerSize");
        QTest::newRow("empty") << qint64(0) << qint64(16);
        QTest::newRow("15") << qint64(15) << qint64(16);
        QTest::newRow("16") << qint64(16) << qint64(32);
        QTest::newRow("3,999,999: one buffer") << qint64(3'999'999) << qint64(4'000'000);
        QTest::newRow("4,000,000: a buffer and a block") << qint64(4'000'000) << qint64(4'000'016);
        QTest::newRow("9,000,017") << qint64(9'000'017) << qint64(9'000'032);
    }
    void containerSizes() {
        QFETCH(qint64, plainSize);
        QFETCH(qint64, containerSize);
        QTemporaryDir dir;
        const QString plainPath = dir.filePath(QStringLiteral("plain.bin"));
        const QString containerPath = dir.filePath(QStringLiteral("plain.bin.aes"));
        const QByteArray plain = randomBytes(plainSize, quint32(plainSize));
        writeBytes(plainPath, plain);
        const QByteArray key = QByteArray("0123456789abcdef") + QByteArray(16, '\0');
        cRijndael engine;
        engine.SetCipherKey(key, 128);
        QList<qint64> progress;
        QCOMPARE(
            engine.FileEncrypt(plainPath, containerPath, [&](qint64 done, qint64) { progress.append(done); }),
            cRijndael::FileResult::Ok);
        QCOMPARE(QFileInfo(containerPath).size(), containerSize);
        QCOMPARE(progress.last(), containerSize);

        // openssl reads it: plaintext, zero padding, then the length byte.
        const QByteArray deciphered = opensslDecrypt(containerPath, key.left(16));
        QCOMPARE(deciphered.size(), containerSize);
        QVERIFY(deciphered.left(plainSize) == plain);
        QCOMPARE(deciphered.mid(plainSize, containerSize - plainSize - 1),
                 QByteArray(containerSize - plainSize - 1, '\0'));
        QCOMPARE(int(static_cast<unsigned char>(deciphered.back())), int(plainSize % 16));

        const QString backPath = dir.filePath(QStringLiteral("back.bin"));
        QCOMPARE(engine.FileDecrypt(backPath, containerPath), cRijndael::FileResult::Ok);
        QVERIFY(readBytes(backPath) == plain);
        QCOMPARE(QFileInfo(backPath).size(), plainSize);
    }

    void damagedContainersAreRefusedWithoutOutput_data() {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << int(cRijndael::FileResult::SizeError)
                               << QStringLiteral("文件大小错误：密文文件不是块大小的倍数！");
        QTest::newRow("17 bytes") << QByteArray(17, 'x') << int(cRijndael::FileResult::SizeError)
                                  << QStringLiteral("文件大小错误：密文文件不是块大小的倍数！");
        QTest::newRow("truncated mid-block")
            << QByteArray(4'000'008, 'x') << int(cRijndael::FileResult::SizeError)
            << QStringLiteral("文件大小错误：密文文件不是块大小的倍数！");
    }
    void damagedContainersAreRefusedWithoutOutput() {
        QFETCH(QByteArray, container);
        QFETCH(int, result);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString containerPath = dir.filePath(QStringLiteral("x.aes"));
        const QString target = dir.filePath(QStringLiteral("x"));
        writeBytes(containerPath, container);
        writeBytes(target, "old content");
        RecordingDialogs dialogs;
        cRijndael engine(&dialogs);
        engine.SetCipherKey(QByteArray(32, 'k'), 128);
        QCOMPARE(int(engine.FileDecrypt(target, containerPath)), result);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, message);
        QCOMPARE(readBytes(target), QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    void wrongKeyLeavesNoFileAndKeepsTheOldOne() {
        QTemporaryDir dir;
        const QString plainPath = dir.filePath(QStringLiteral("p"));
        const QString containerPath = dir.filePath(QStringLiteral("p.aes"));
        const QString target = dir.filePath(QStringLiteral("out"));
        writeBytes(plainPath, randomBytes(5'000'000, 3));
        cRijndael engine;
        engine.SetCipherKey(QByteArray(32, 'a'), 128);
        engine.FileEncrypt(plainPath, containerPath);
        RecordingDialogs dialogs;
        engine.setMessages(&dialogs);
        // Find a wrong key whose last deciphered byte is above 15 (15 in 16 are).
        cRijndael::FileResult result = cRijndael::FileResult::Ok;
        for (char k = 'b'; k <= 'z' && result == cRijndael::FileResult::Ok; ++k) {
            engine.SetCipherKey(QByteArray(32, k), 128);
            QFile::remove(target);
            result = engine.FileDecrypt(target, containerPath);
        }
        QCOMPARE(result, cRijndael::FileResult::LengthFieldError);
        QCOMPARE(dialogs.shown.last().text,
                 QStringLiteral("警告 - 解密失败！文件中的长度字段错误！\r\n错误的密钥或密钥大小不吻合？"));
        QVERIFY(!QFileInfo::exists(target));
        writeBytes(target, "keep me");
        engine.FileDecrypt(target, containerPath);
        QCOMPARE(readBytes(target), QByteArray("keep me"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void unreadableSourceAndUnwritableTarget() {
        QTemporaryDir dir;
        cRijndael engine;
        engine.SetCipherKey(QByteArray(32, 'a'), 128);
        QCOMPARE(engine.FileEncrypt(dir.filePath(QStringLiteral("missing")),
                                    dir.filePath(QStringLiteral("m.aes"))),
                 cRijndael::FileResult::ReadError);
        writeBytes(dir.filePath(QStringLiteral("p")), "data");
        QCOMPARE(engine.FileEncrypt(dir.filePath(QStringLiteral("p")),
                                    dir.filePath(QStringLiteral("no/such/dir/p.aes"))),
                 cRijndael::FileResult::WriteError);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("p")});
    }
};

QTEST_GUILESS_MAIN(tst_cRijndael)
#include "tst_cRijndael.moc"
