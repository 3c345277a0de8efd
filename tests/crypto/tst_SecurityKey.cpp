// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/DataFilePacker.h"
#include "crypto/MasterKey.h"
#include "crypto/SecurityKey.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_SecurityKey : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        SettingsFile settings{dir.path()};
        ProcessValues values;
        RecordingDialogs dialogs;
        SecurityKeyFrame frame{settings, values, dialogs};
        Fixture() { values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText()); }
        QString stored() const {
            return settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"));
        }
        bool save(const QString &key, const QString &answer) {
            frame.FillFromSettings();
            frame.keyText = key;
            frame.answerText = answer;
            return frame.save();
        }
    };

private Q_SLOTS:
    void savedKeyVerifies() {
        Fixture f;
        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("Abc123")), 1);
        QVERIFY(f.save(QStringLiteral("Abc123"), QStringLiteral("2026")));
        QCOMPARE(f.stored().size(), 32);
        QCOMPARE(f.stored(), f.stored().toUpper());
        QCOMPARE(f.values.SecurityKey, f.stored());
        QCOMPARE(f.dialogs.shown.last().title, QStringLiteral("重要提示"));
        QCOMPARE(
            f.dialogs.shown.last().text,
            QStringLiteral(
                "密匙设置成功！\r\n密匙：Abc123\r\n答案：2026\r\n请牢牢记住您的密匙以及取回密匙的答案！\r\n"
                "——避免因遗忘密匙而给您带来损失！"));
        QCOMPARE(f.dialogs.shown.last().icon, MessageIcon::Information);
        QVERIFY(!f.frame.keyEnabled && !f.frame.saveEnabled && f.frame.recoverEnabled);

        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("Abc123")), 0);
        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("abc123")), 2);
        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("Abc12")), 2);
        QCOMPARE(SecurityTextOf(f.stored(), f.values.MasterKey), QStringLiteral("2026Abc123"));
        f.settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"), QString());
        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("Abc123")), 1);
        f.settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"), QString(31, u'A'));
        QCOMPARE(VerifySecurityKey(f.settings, f.values.MasterKey, QStringLiteral("Abc123")), 1);
    }

    void saveChecks_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("message");
        const QString length = QStringLiteral("密匙长度应为6-12位，且区分大小写，请重新输入！");
        QTest::newRow("5 characters") << QStringLiteral("abcde") << QStringLiteral("xxxx") << length;
        QTest::newRow("13 characters, before the answer")
            << QStringLiteral("abcdefghijklm") << QString() << length;
        QTest::newRow("answer of 3") << QStringLiteral("abcdef") << QStringLiteral("xyz")
                                     << QStringLiteral("找回密匙答案长度应为4位，请重新输入！");
        // Pasted or committed by an input method, past the box's key filter.
        const QString keyCharacters =
            QStringLiteral("密匙只能由字母、数字和符号.~!@#$%^&*()-_+=组成，不能含有“%1”，请重新输入！");
        const QString answerCharacters = QStringLiteral(
            "找回密匙答案只能由字母、数字、汉字和符号.~!@#$%^&*()-_+=组成，不能含有“%1”，请重新输入！");
        QTest::newRow("key with a blank")
            << QStringLiteral("Abc 123") << QStringLiteral("2026") << keyCharacters.arg(QStringLiteral(" "));
        QTest::newRow("key with a Chinese character") << QStringLiteral("Abc中123") << QStringLiteral("2026")
                                                      << keyCharacters.arg(QStringLiteral("中"));
        QTest::newRow("key with a tab") << QStringLiteral("Abc\t123") << QStringLiteral("2026")
                                        << keyCharacters.arg(QStringLiteral("U+0009"));
        QTest::newRow("answer with a bar") << QStringLiteral("Abc123") << QStringLiteral("20|6")
                                           << answerCharacters.arg(QStringLiteral("|"));
        const QString tooLong = QStringLiteral(
            "找回密匙答案与密匙合计不能超过16字节（一个汉字占2字节），现为%1字节：请将密匙缩短%2位，"
            "或在答案中少用汉字！");
        QTest::newRow("answer in Chinese, 12-character key")
            << QStringLiteral("Abcdefghijkl") << QStringLiteral("春夏秋冬") << tooLong.arg(20).arg(4);
        QTest::newRow("answer half Chinese, 11-character key")
            << QStringLiteral("Abcdefghijk") << QStringLiteral("春夏ab") << tooLong.arg(17).arg(1);
    }
    void saveChecks() {
        QFETCH(QString, key);
        QFETCH(QString, answer);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(!f.save(key, answer));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].text, message);
        QCOMPARE(f.dialogs.shown[0].title, QStringLiteral("提示"));
        QCOMPARE(f.dialogs.shown[0].icon, MessageIcon::Warning);
        QCOMPARE(f.stored(), QString());
    }

    void openingStates() {
        Fixture f;
        f.frame.FillFromSettings();
        QVERIFY(f.frame.keyEnabled && f.frame.answerEnabled && f.frame.saveEnabled);
        f.save(QStringLiteral("Abc123"), QStringLiteral("2026"));
        SecurityKeyFrame reopened(f.settings, f.values, f.dialogs);
        reopened.FillFromSettings();
        QVERIFY(!reopened.keyEnabled && reopened.answerEnabled && !reopened.saveEnabled);
        QCOMPARE(reopened.keyText, QString());
    }

    void recoveryAndTheCounter() {
        Fixture f;
        f.save(QStringLiteral("Abc123"), QStringLiteral("2026"));
        f.dialogs.shown.clear();
        SecurityKeyFrame frame(f.settings, f.values, f.dialogs);
        frame.FillFromSettings();
        for (int attempt = 1; attempt <= 3; ++attempt) {
            frame.answerText = QStringLiteral("1999");
            QVERIFY(!frame.recover());
            QCOMPARE(f.dialogs.shown.last().text,
                     QStringLiteral("答案不正确！已尝试%1次，最多只能错3次！").arg(attempt));
            QCOMPARE(f.dialogs.shown.last().title, QStringLiteral("安全警告"));
            QCOMPARE(f.dialogs.shown.last().icon, MessageIcon::Critical);
        }
        // The fourth attempt is refused before setup.ini is read, right answer or not.
        writeBytes(f.settings.path(), "unreadable now");
        frame.answerText = QStringLiteral("2026");
        QVERIFY(!frame.recover());
        QCOMPARE(f.dialogs.shown.last().text,
                 QStringLiteral("取回密匙答案错误超过3次，下次想好了再来试吧！"));
        QCOMPARE(readBytes(f.settings.path()), QByteArray("unreadable now"));
    }

    void rightAnswerShowsTheKeyWithoutPadding() {
        Fixture f;
        f.save(QStringLiteral("Abc123"), QStringLiteral("2026"));
        f.values.WrongAnswers = 2;
        f.frame.FillFromSettings();
        f.frame.answerText = QStringLiteral("2026");
        QVERIFY(f.frame.recover());
        QCOMPARE(f.frame.keyText, QStringLiteral("Abc123"));
        QVERIFY(f.frame.keyEnabled && f.frame.saveEnabled);
        QCOMPARE(f.values.WrongAnswers, 0);
    }

    void recoveryOfABadStoredValueEmptiesIt() {
        Fixture f;
        f.settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"), QStringLiteral("ABC"));
        f.frame.answerText = QStringLiteral("2026");
        QVERIFY(!f.frame.recover());
        QCOMPARE(f.dialogs.shown.last().text, QStringLiteral("密匙为空或错误的格式！"));
        QCOMPARE(f.stored(), QString());
        f.frame.answerText = QStringLiteral("20");
        QVERIFY(!f.frame.recover());
        QCOMPARE(f.dialogs.shown.last().text, QStringLiteral("取回密匙答案长度应为4位，请重新输入！"));
    }

    void newAnswerChangesTheFileKey() {
        Fixture f;
        f.save(QStringLiteral("Abc123"), QStringLiteral("2026"));
        const QString first = SecurityTextOf(f.stored(), f.values.MasterKey);
        f.save(QStringLiteral("Abc123"), QStringLiteral("2027"));
        QVERIFY(SecurityTextOf(f.stored(), f.values.MasterKey) != first);
    }

    void keyFilter() {
        QCOMPARE(AllowedKeyChars().size(), 78);
        QVERIFY(isAcceptedKeyCharacter(u'~'));
        QVERIFY(isAcceptedKeyCharacter(QChar(8)));
        QVERIFY(isAcceptedKeyCharacter(QChar(13)));
        QVERIFY(!isAcceptedKeyCharacter(u' '));
        QVERIFY(!isAcceptedKeyCharacter(u'中'));
        QVERIFY(!isAcceptedKeyCharacter(u'|'));
    }

    void packerRoundTripAndStamp_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("50 bytes") << QByteArray(50, 'a');
        // 79 bytes grow to 100 with a two-digit stamp, and to 101 with the
        // three-digit one: a third pass makes the stamp right.
        QTest::newRow("size gains a digit") << QByteArray(79, 'b');
    }
    void packerRoundTripAndStamp() {
        QFETCH(QByteArray, text);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("notes.txt"));
        writeBytes(file, text);
        const QString masterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
        QCOMPARE(DataFilePacker::seal(file, masterKey, false), QStringLiteral("加密文件成功！"));
        const QByteArray stamped = readBytes(file);
        QVERIFY(stamped.contains("[CHECK]\r\nc_key=" + QByteArray::number(stamped.size()) + "\r\n"));
        const QString sealed = dir.filePath(QStringLiteral("notes.dll"));
        QCOMPARE(QFileInfo(sealed).size(), 16 * (stamped.size() / 16 + 1));
        QFile::remove(file);
        QCOMPARE(DataFilePacker::unseal(sealed, masterKey, false), DataFilePacker::UnsealResult::Verified);
        QCOMPARE(readBytes(file), stamped);
    }

    void packerReportsAChangedFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("notes.txt"));
        writeBytes(file, "hello");
        const QString masterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
        DataFilePacker::seal(file, masterKey, false);
        QFile appended(file);
        appended.open(QIODevice::Append);
        appended.write("more");
        appended.close();
        QVERIFY(EncryptFileWithKey(file, dir.filePath(QStringLiteral("notes.dll")), masterKey));
        QCOMPARE(DataFilePacker::unseal(dir.filePath(QStringLiteral("notes.dll")), masterKey, true),
                 DataFilePacker::UnsealResult::Mismatch);
        QCOMPARE(DataFilePacker::unseal(dir.filePath(QStringLiteral("none.dll")), masterKey, false),
                 DataFilePacker::UnsealResult::Failed);
    }
};

QTEST_GUILESS_MAIN(tst_SecurityKey)
#include "tst_SecurityKey.moc"
