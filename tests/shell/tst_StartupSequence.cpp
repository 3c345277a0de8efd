// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "crypto/MasterKey.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsFile.h"
#include "shell/StartupSequence.h"

#include "TestSupport.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_StartupSequence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartWritesDefaultsAndThePluginFolder() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        SingleInstance instance(settings.AppFolder());
        RecordingDialogs dialogs;
        ProcessValues values;
        values.UserPassword = QStringLiteral("stale");
        QVERIFY(RunStartupSequence(instance, dialogs, settings, values));
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("plugin"))).isDir());
        QCOMPARE(settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M8")),
                 QStringLiteral("0|日|1|00:00:00|双击左边时间编辑便笺……"));
        QCOMPARE(values.UserPassword, QString());
        QCOMPARE(values.ShutdownTime, QString());
        QCOMPARE(values.MasterKey, BuildMasterKey(masterKeyBaseText(), masterKeyKeyText()));
    }

    void existingFileIsOnlyReadAndMemoFilesStay() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QByteArray existing =
            gbk(QStringLiteral("[SYSTEM]\r\nS_shutdown=17:30:00\r\n[USERINFO]\r\nU_pass= 秘密 \r\n"));
        writeBytes(settings.path(), existing);
        writeBytes(dir.filePath(QStringLiteral("M0.rtf")), "{\\rtf1 kept}");
        SingleInstance instance(settings.AppFolder());
        RecordingDialogs dialogs;
        ProcessValues values;
        QVERIFY(RunStartupSequence(instance, dialogs, settings, values));
        QCOMPARE(values.ShutdownTime, QStringLiteral("17:30:00"));
        QCOMPARE(values.UserPassword, QStringLiteral("秘密"));
        QCOMPARE(readBytes(settings.path()), existing);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("M0.rtf"))), QByteArray("{\\rtf1 kept}"));
    }

    void fileThatIsNotGbkIsSaidOnce_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line"); // 0: nothing is said
        QTest::addColumn<QString>("why");
        const QString text =
            QStringLiteral("[SYSTEM]\r\nS_shutdown=17:30:00\r\n[USERINFO]\r\nU_name=张三\r\nU_pass=\r\n");
        QTest::newRow("GBK, as the Windows build writes it") << gbk(text) << 0 << QString();
        QTest::newRow("ASCII alone") << QByteArray("[SYSTEM]\nS_shutdown=17:30:00\n") << 0 << QString();
        // "张三" in UTF-8 happens to be valid GBK ("寮犱笁").
        QTest::newRow("UTF-8 that also reads as GBK")
            << text.toUtf8() << 4 << QStringLiteral("看来是按 UTF-8 保存");
        QTest::newRow("UTF-8 that is no GBK")
            << QStringLiteral("[SYSTEM]\r\nS_shutdown=17:30:00\r\n\r\n[USERINFO]\r\nU_name=张\r\n").toUtf8()
            << 5 << QStringLiteral("看来是按 UTF-8 保存");
        QTest::newRow("UTF-8 with a BOM")
            << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << 1 << QStringLiteral("BOM");
        QTest::newRow("BOM before ASCII alone")
            << QByteArray("\xEF\xBB\xBF[SYSTEM]\nS_shutdown=17:30:00\n") << 1 << QStringLiteral("BOM");
        QTest::newRow("neither GBK nor UTF-8")
            << QByteArray("[SYSTEM]\nS_shutdown=17:30:00\n[USERINFO]\nU_name=\xD5\xC5\x81\x30\n") << 4
            << QStringLiteral("不能按 GBK 读取的字节");
        QTest::newRow("a lead byte ends the file") << QByteArray("[SYSTEM]\rS_shutdown=17:30:00\rU_name=\xD5")
                                                   << 3 << QStringLiteral("不能按 GBK 读取的字节");
    }
    void fileThatIsNotGbkIsSaidOnce() {
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeBytes(settings.path(), file);
        SingleInstance instance(settings.AppFolder());
        RecordingDialogs dialogs;
        ProcessValues values;
        QVERIFY(RunStartupSequence(instance, dialogs, settings, values));
        // The start goes on as ever, and nothing is rewritten.
        QCOMPARE(values.ShutdownTime, QStringLiteral("17:30:00"));
        QCOMPARE(readBytes(settings.path()), file);
        if (line == 0) {
            QVERIFY(dialogs.shown.isEmpty());
            return;
        }
        QCOMPARE(dialogs.shown.size(), 1);
        const QString said = dialogs.shown[0].text;
        QVERIFY2(said.contains(settings.path()) && said.contains(QStringLiteral("第%1行").arg(line)) &&
                     said.contains(why),
                 qPrintable(said));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("提示"));
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::Warning);
    }

    void fileWithoutPasswordMeansNone() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeBytes(settings.path(), "[SYSTEM]\r\nF_top=0\r\n");
        SingleInstance instance(settings.AppFolder());
        RecordingDialogs dialogs;
        ProcessValues values;
        values.UserPassword = QStringLiteral("x");
        QVERIFY(RunStartupSequence(instance, dialogs, settings, values));
        QCOMPARE(values.UserPassword, QString());
    }

    void secondCopyIsRefusedWithoutTouchingTheFolder() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        SingleInstance first(settings.AppFolder());
        QVERIFY(first.acquire());
        QSignalSpy asked(&first, &SingleInstance::showRequested);
        SingleInstance second(settings.AppFolder());
        RecordingDialogs dialogs;
        ProcessValues values;
        QVERIFY(!RunStartupSequence(second, dialogs, settings, values));
        // The running copy is asked to show its board: it may be lost to the user.
        QTRY_COMPARE(asked.size(), 1);
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("软件已经运行，不能再次装载。"));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("警告"));
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::Warning);
        QVERIFY(!settings.exists());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("plugin"))));
    }
};

QTEST_GUILESS_MAIN(tst_StartupSequence)
#include "tst_StartupSequence.moc"
