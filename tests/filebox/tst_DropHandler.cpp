// SPDX-License-Identifier: MIT
#include "common/AnsiCodec.h"
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "filebox/DropHandler.h"
#include "shell/MasterKey.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_DropHandler : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        RecordingDialogs dialogs;
        RecordingStatus status;
        RecordingBalloons balloons;
        ProcessValues values;
        DropHandler handler{dialogs, status, values, dir.path() + u'/'};
        std::array<DropCategory, 9> categories;
        int settingsOpened = 0;

        Fixture() {
            values.notifyIcon = &balloons;
            values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
            const QStringList captions = {
                QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
                QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
                QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};
            for (int i = 0; i < 9; ++i)
                categories[i] = {captions[i], dir.filePath(QStringLiteral("box/") + captions[i]) + u'/'};
            QDir().mkpath(dir.filePath(QStringLiteral("in")));
            handler.openSettings = [this] { ++settingsOpened; };
        }
        QString in(const QString &name) const { return dir.filePath(QStringLiteral("in/") + name); }
        void setKey() { values.SecurityKey = EncryptString(QStringLiteral("ans1Key123"), values.MasterKey); }
    };

private Q_SLOTS:
    void dragFeedback() {
        Fixture f;
        f.handler.dragEnter(true);
        f.handler.dragEnter(false);
        QCOMPARE(f.status.shown, (QStringList{QStringLiteral("可以拖放!"), QStringLiteral("不支持该格式!")}));
    }

    void threeFilesThreeBalloonsQuotingTheFirst() {
        Fixture f;
        QStringList paths;
        for (const char *name : {"a.jpg", "b.jpg", "c.jpg"}) {
            paths.append(f.in(QString::fromLatin1(name)));
            writeBytes(paths.last(), name);
        }
        QVERIFY(f.handler.drop(3, paths, f.categories));
        QCOMPARE(f.balloons.shown.size(), 3);
        for (const QString &balloon : f.balloons.shown)
            QCOMPARE(balloon, QStringLiteral("目录3 图片|") + paths.first() + QStringLiteral("移动完毕!|1"));
        QCOMPARE(f.status.shown.last(), QStringLiteral("已成功移动至[图片]目录!"));
        QVERIFY(QFileInfo::exists(f.categories[3].folder + QStringLiteral("c.jpg")));
        QVERIFY(!QFileInfo::exists(paths[1]));
    }

    void refusedItemsAreSkippedSilently() {
        Fixture f;
        QDir().mkpath(f.in(QStringLiteral("System")));
        const QString notes = f.in(QStringLiteral("System/notes.txt"));
        writeBytes(notes, "n");
        QVERIFY(f.handler.drop(0, {notes, QStringLiteral("/")}, f.categories));
        QVERIFY(f.balloons.shown.isEmpty());
        QVERIFY(f.status.shown.isEmpty());
        QVERIFY(QFileInfo::exists(notes));
        // The safe does take it.
        f.setKey();
        QVERIFY(f.handler.drop(8, {notes}, f.categories));
        QVERIFY(QFileInfo::exists(f.categories[8].folder + QStringLiteral("notes.txt.aes")));
        QVERIFY(QFileInfo::exists(notes));
    }

    void safeWithoutAKeyOnlyAsks() {
        Fixture f;
        const QString file = f.in(QStringLiteral("a.txt"));
        writeBytes(file, "a");
        f.dialogs.yesNoAnswers.enqueue(false);
        QVERIFY(!f.handler.drop(8, {file}, f.categories));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(
            f.dialogs.shown[0].text,
            QStringLiteral("基于安全，加密文本需要设定一个固定的安全密匙，而密匙尚未设置，是否现在设置？"));
        QCOMPARE(f.dialogs.shown[0].title, QStringLiteral("【提示】"));
        QCOMPARE(f.settingsOpened, 0);
        f.dialogs.yesNoAnswers.enqueue(true);
        QVERIFY(!f.handler.drop(8, {file}, f.categories));
        QCOMPARE(f.settingsOpened, 1);
        QVERIFY(!QFileInfo::exists(f.categories[8].folder + QStringLiteral("a.txt.aes")));
    }

    void safeEncryptsLogsAndAsksBeforeOverwriting() {
        Fixture f;
        f.setKey();
        const QString file = f.in(QStringLiteral("a.txt"));
        writeBytes(file, "secret");
        QVERIFY(f.handler.drop(8, {file, f.dir.filePath(QStringLiteral("in"))},
                               f.categories)); // the folder is skipped
        const QString target = f.categories[8].folder + QStringLiteral("a.txt.aes");
        QCOMPARE(QFileInfo(target).size(), 16);
        QCOMPARE(f.balloons.shown,
                 QStringList{QStringLiteral("目录8 保险柜|") + file + QStringLiteral("加密并保存完毕!|1")});
        QCOMPARE(f.status.shown.last(), QStringLiteral("文件已加密并存至[保险柜]目录!"));
        const QString log = AnsiCodec::decode(readBytes(f.dir.filePath(QStringLiteral("jm.log"))));
        QVERIFY(log.startsWith(QStringLiteral("[加密]")));
        QVERIFY(
            log.endsWith(u',' + file + u',' + target + u',' + f.values.SecurityKey + QStringLiteral("\r\n")));

        // The file the safe made opens with the security text.
        const QString back = f.dir.filePath(QStringLiteral("back.txt"));
        QVERIFY(DecryptFileWithKey(target, back, QStringLiteral("ans1Key123")));
        QCOMPARE(readBytes(back), QByteArray("secret"));

        const QByteArray before = readBytes(target);
        writeBytes(file, "changed");
        f.dialogs.yesNoAnswers.enqueue(false);
        f.handler.drop(8, {file}, f.categories);
        QCOMPARE(f.dialogs.shown.last().text, QStringLiteral("保险柜目录已存在同名文件，是否覆盖？"));
        QCOMPARE(readBytes(target), before);
        QCOMPARE(AnsiCodec::decode(readBytes(f.dir.filePath(QStringLiteral("jm.log"))))
                     .count(QStringLiteral("\r\n")),
                 1);
    }

    void oddNamesAreMovedAndLoggedOnOneLine() {
        Fixture f;
        f.setKey();
        // A line break and characters that GBK cannot hold.
        const QString lineBreak = f.in(QStringLiteral("two\nlines.txt"));
        const QString emoji = f.in(QStringLiteral("照片😀.txt"));
        writeBytes(lineBreak, "a");
        writeBytes(emoji, "b");
        QVERIFY(f.handler.drop(8, {lineBreak, emoji}, f.categories));
        QVERIFY(QFileInfo::exists(f.categories[8].folder + QStringLiteral("two\nlines.txt.aes")));
        QVERIFY(QFileInfo::exists(f.categories[8].folder + QStringLiteral("照片😀.txt.aes")));
        const QString log = AnsiCodec::decode(readBytes(f.dir.filePath(QStringLiteral("jm.log"))));
        QCOMPARE(log.count(QStringLiteral("\r\n")), 2);
        QCOMPARE(log.count(u'\n'), 2); // no record split by the name's own line break
        QVERIFY(f.handler.drop(3, {lineBreak, emoji}, f.categories));
        QVERIFY(QFileInfo::exists(f.categories[3].folder + QStringLiteral("two\nlines.txt")));
        QVERIFY(QFileInfo::exists(f.categories[3].folder + QStringLiteral("照片😀.txt")));
        QVERIFY(!QFileInfo::exists(emoji));
    }

    void failuresAreNotReportedAsSuccess() {
        Fixture f;
        f.setKey();
        const QString gone = f.in(QStringLiteral("vanished.txt"));
        QVERIFY(f.handler.drop(8, {gone}, f.categories));
        QCOMPARE(f.balloons.shown.last(),
                 QStringLiteral("目录8 保险柜|") + gone + QStringLiteral("加密失败!|1"));
        QCOMPARE(f.status.shown.last(), QStringLiteral("加密该文件失败!"));
        QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("jm.log"))));
        QVERIFY(f.handler.drop(1, {gone}, f.categories));
        QCOMPARE(f.balloons.shown.last(),
                 QStringLiteral("目录1 报告|") + gone + QStringLiteral("移动失败!|1"));
    }
};

QTEST_GUILESS_MAIN(tst_DropHandler)
#include "tst_DropHandler.moc"
