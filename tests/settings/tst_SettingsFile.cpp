// SPDX-License-Identifier: MIT
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_SettingsFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void appFolderEndsWithOneSeparator() {
        QCOMPARE(SettingsFile(QStringLiteral("/opt/tackora")).AppFolder(), QStringLiteral("/opt/tackora/"));
        QCOMPARE(SettingsFile(QStringLiteral("/opt/tackora/")).AppFolder(), QStringLiteral("/opt/tackora/"));
        QCOMPARE(SettingsFile(QStringLiteral("/")).AppFolder(), QStringLiteral("/"));
    }

    void trimAtNul_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("no NUL") << QStringLiteral(" a b ") << QStringLiteral(" a b ");
        QTest::newRow("NUL inside") << QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")
                                    << QStringLiteral("ab");
        QTest::newRow("starts with NUL") << QString(QChar(0)) + QStringLiteral("x") << QString();
    }
    void trimAtNul() {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimAtNul(text), trimmed);
    }

    void defaultsAreWrittenByteExact() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        QVERIFY(writeDefaultSettings(settings));
        const QString memo = QStringLiteral("|00:00:00|双击左边时间编辑便笺……\r\n");
        const QString expected =
            QStringLiteral(
                "[SYSTEM]\r\nF_top=0\r\nF_height=10970\r\nF_width=0\r\nF_left=0\r\nF_lock=n\r\nF_show=a\r\n"
                "F_transparent=a\r\nF_up=0\r\nF_calendar=1\r\nS_run=n\r\nS_key=\r\nS_shutdown=\r\n"
                "[FILEBOX]\r\nFB_path=") +
            settings.AppFolder() +
            QStringLiteral("filebox\r\nFB_list=公文|报告|报表|图片|音乐|视频|软件|资料|保险柜\r\n"
                           "FB_color=&H00C0C0FF&|&H00C0E0FF&|&H00C0FFFF&|&H00C0FFC0&|&H00FFFFC0&|&H00FFC0C0&|"
                           "&H00FFC0FF&|&H00D4FF7F&|&H00EEF5FF&\r\n"
                           "FB_fontcolor=&H00000000&\r\nFB_pic=\r\n[USERINFO]\r\nU_name=无名\r\nU_pass=\r\n"
                           "[MEMO]\r\nM_color=&H80000005&\r\nM0=0|年|01-10") +
            memo + QStringLiteral("M1=0|季|1") + memo + QStringLiteral("M2=0|月|1") + memo +
            QStringLiteral("M3=0|周|1") + memo + QStringLiteral("M4=0|日|1") + memo +
            QStringLiteral("M5=0|日|1") + memo + QStringLiteral("M6=0|日|1") + memo +
            QStringLiteral("M7=0|日|1") + memo + QStringLiteral("M8=0|日|1") + memo;
        const QByteArray onDisk = readBytes(settings.path());
        QCOMPARE(onDisk, gbk(expected));
        // Spot-check the GBK bytes themselves: 公文 is B9AB CEC4, …… is A1AD A1AD.
        QVERIFY(onDisk.contains(QByteArray::fromHex("3d b9ab cec4 7c")));
        QVERIFY(onDisk.contains(QByteArray::fromHex("a1ad a1ad 0d0a")));
    }

    void readAndWriteThroughTheFile() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")), QString());
        QVERIFY(settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name"),
                                      QStringLiteral("张三")));
        QCOMPARE(settings.ReadSetting(QStringLiteral("userinfo"), QStringLiteral("u_name")),
                 QStringLiteral("张三"));
        QCOMPARE(readBytes(settings.path()),
                 QByteArray("[USERINFO]\r\nU_name=") + QByteArray::fromHex("d5c5c8fd") + "\r\n");

        // A hand edit is seen by the next read: nothing is cached.
        writeBytes(settings.path(), gbk(QStringLiteral("[USERINFO]\nU_name=李四\n")));
        QCOMPARE(settings.ReadSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name")),
                 QStringLiteral("李四"));
    }

    void characterOutsideGbkIsStoredAsQuestionMark() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("a😀b"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("a?b"));
    }

    void writeReplacesTheFileWithoutTouchingOtherBytes() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QByteArray before =
            bytes("; written by hand\r\n[UNKNOWN]\r\nx=\xB9\xAB\r\n[SYSTEM]\r\nF_top=5\r\n");
        writeBytes(settings.path(), before);
        QVERIFY(
            settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top"), QStringLiteral("300")));
        QCOMPARE(readBytes(settings.path()),
                 bytes("; written by hand\r\n[UNKNOWN]\r\nx=\xB9\xAB\r\n[SYSTEM]\r\nF_top=300\r\n"));
        // Nothing is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("setup.ini")});
    }

    void garbageFileReadsEmptyAndKeepsItsBytes() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        QByteArray garbage(4096, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 131 + 7) & 0xFF);
        writeBytes(settings.path(), garbage);
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")), QString());
        QVERIFY(
            settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top"), QStringLiteral("0")));
        const QByteArray after = readBytes(settings.path());
        QVERIFY(after.startsWith(garbage));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")),
                 QStringLiteral("0"));
    }

    void writeIntoAMissingFolderFailsAndSaysWhy() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.filePath(QStringLiteral("no/such/folder")));
        QString error;
        QVERIFY(
            !settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"), &error));
        QVERIFY2(error.contains(QStringLiteral("setup.ini")), qPrintable(error));
    }

    void unchangedValueDoesNotRewriteTheFile() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
        const QDateTime written = QFileInfo(settings.path()).lastModified();
        QTest::qWait(20);
        settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
        QCOMPARE(QFileInfo(settings.path()).lastModified(), written);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_SettingsFile.moc"
