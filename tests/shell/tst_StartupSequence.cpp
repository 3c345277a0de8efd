// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "crypto/MasterKey.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsFile.h"
#include "shell/StartupSequence.h"

#include "TestSupport.h"

#include <QFileInfo>
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
        SingleInstance second(settings.AppFolder());
        RecordingDialogs dialogs;
        ProcessValues values;
        QVERIFY(!RunStartupSequence(second, dialogs, settings, values));
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
