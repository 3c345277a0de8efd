// SPDX-License-Identifier: MIT
#include "common/AnsiCodec.h"
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/MasterKey.h"
#include "filebox/DropHandler.h"

#include "DropTestSupport.h"
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
        QString box(const QString &name) const { return dir.filePath(QStringLiteral("box/") + name); }
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

    void tileWithoutAFolderTakesNothing_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("an ordinary tile") << 0;
        QTest::newRow("the safe") << 8;
    }
    void tileWithoutAFolderTakesNothing() {
        QFETCH(int, index);
        Fixture f;
        f.setKey();
        f.categories[index] = {QStringLiteral(".."), QString()};
        const QString file = f.in(QStringLiteral("a.txt"));
        writeBytes(file, "a");
        // An empty folder must not become the working folder.
        QVERIFY(QDir().mkpath(f.dir.filePath(QStringLiteral("cwd"))));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(f.dir.filePath(QStringLiteral("cwd")));
        const bool refresh = f.handler.drop(index, {file}, f.categories);
        QDir::setCurrent(cwd);
        QVERIFY(!refresh);
        QCOMPARE(readBytes(file), QByteArray("a"));
        QVERIFY(QDir(f.dir.filePath(QStringLiteral("cwd")))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(!QFileInfo::exists(f.dir.filePath(QStringLiteral("jm.log"))));
        QVERIFY(f.balloons.shown.isEmpty());
        QCOMPARE(f.status.shown.size(), 1);
        QVERIFY2(f.status.shown[0].contains(QStringLiteral("“..”")), qPrintable(f.status.shown[0]));
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

    // The sealed file stays, but a drop whose log record could not be
    // written is not announced as a plain success.
    void aRecordThatCannotBeLoggedIsSaid() {
        Fixture f;
        f.setKey();
        QVERIFY(QDir().mkdir(f.dir.filePath(QStringLiteral("jm.log")))); // no file can go there
        const QString file = f.in(QStringLiteral("a.txt"));
        writeBytes(file, "secret");
        QVERIFY(f.handler.drop(8, {file}, f.categories));
        QCOMPARE(QFileInfo(f.categories[8].folder + QStringLiteral("a.txt.aes")).size(), 16);
        QCOMPARE(f.balloons.shown, QStringList{QStringLiteral("目录8 保险柜|") + file +
                                               QStringLiteral("加密并保存完毕!但操作记录未能写入jm.log!|1")});
        QCOMPARE(f.status.shown.last(), QStringLiteral("文件已加密，但操作记录未能写入jm.log!"));
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

    // The bytes of the files a drop brought into the category, as the
    // disk-usage walk counts them, for the figures shown at once; a folder is
    // left to the walk (counting it would keep the window waiting).
    void dropReportsTheBytesItBroughtIn() {
        Fixture f;
        writeBytes(f.in(QStringLiteral("a.jpg")), QByteArray(1000, 'a'));
        QDir().mkpath(f.in(QStringLiteral("folder/sub")));
        writeBytes(f.in(QStringLiteral("folder/b")), QByteArray(200, 'b'));
        writeBytes(f.in(QStringLiteral("folder/sub/c")), QByteArray(30, 'c'));
        QFile::link(f.in(QStringLiteral("folder/b")), f.in(QStringLiteral("folder/link")));
        QVERIFY(f.handler.drop(
            3,
            {f.in(QStringLiteral("a.jpg")), f.in(QStringLiteral("folder")), f.in(QStringLiteral("missing"))},
            f.categories));
        QCOMPARE(f.handler.lastDropBytes(), quint64(1000));
        QVERIFY(QFileInfo::exists(f.categories[3].folder + QStringLiteral("folder/sub/c")));
        // The next drop counts only its own.
        writeBytes(f.in(QStringLiteral("d.jpg")), QByteArray(7, 'd'));
        QVERIFY(f.handler.drop(3, {f.in(QStringLiteral("d.jpg"))}, f.categories));
        QCOMPARE(f.handler.lastDropBytes(), quint64(7));
        // The safe counts the sealed copy it stored.
        f.setKey();
        writeBytes(f.in(QStringLiteral("e.txt")), QByteArray(100, 'e'));
        QVERIFY(f.handler.drop(8, {f.in(QStringLiteral("e.txt"))}, f.categories));
        QCOMPARE(f.handler.lastDropBytes(),
                 quint64(QFileInfo(f.categories[8].folder + QStringLiteral("e.txt.aes")).size()));
        QVERIFY(f.handler.lastDropBytes() >= 100);
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
    void aFolderIsNotMovedIntoItself_data() {
        QTest::addColumn<QString>("item");          // under the test's folder
        QTest::addColumn<QString>("categoriesVia"); // a link to the root the categories are named through
        QTest::addColumn<bool>("refused");
        QTest::newRow("the file-box root") << QStringLiteral("box") << QString() << true;
        QTest::newRow("the root's parent") << QString() << QString() << true;
        QTest::newRow("the category itself") << QStringLiteral("box/图片") << QString() << true;
        QTest::newRow("the root, categories through a link")
            << QStringLiteral("box") << QStringLiteral("alias") << true;
        QTest::newRow("a name that only begins alike") << QStringLiteral("bo") << QString() << false;
    }
    void aFolderIsNotMovedIntoItself() {
        QFETCH(QString, item);
        QFETCH(QString, categoriesVia);
        QFETCH(bool, refused);
        Fixture f;
        for (const DropCategory &category : f.categories)
            QDir().mkpath(category.folder);
        writeBytes(f.box(QStringLiteral("公文/keep.txt")), "keep");
        QDir().mkpath(f.dir.filePath(QStringLiteral("bo")));
        if (!categoriesVia.isEmpty()) {
            QVERIFY(QFile::link(f.dir.filePath(QStringLiteral("box")), f.dir.filePath(categoriesVia)));
            for (DropCategory &category : f.categories)
                category.folder.replace(QStringLiteral("/box/"), u'/' + categoriesVia + u'/');
        }
        const QString folder = item.isEmpty() ? f.dir.path() : f.dir.filePath(item);
        const QString other = f.in(QStringLiteral("x.txt"));
        writeBytes(other, "x");
        QVERIFY(f.handler.drop(3, {folder, other}, f.categories));
        if (refused) {
            QCOMPARE(f.balloons.shown.first(),
                     QStringLiteral("目录3 图片|") + folder + QStringLiteral("不能移入其自身!|1"));
            QCOMPARE(f.status.shown.first(), QStringLiteral("不能将文件夹移入其自身!"));
            QVERIFY(QFileInfo(folder).isDir());
            QVERIFY(!QFileInfo::exists(f.box(QStringLiteral("图片/")) + QFileInfo(folder).fileName()));
        } else {
            QVERIFY(QFileInfo(f.box(QStringLiteral("图片/bo"))).isDir());
        }
        // The drop goes on with the next item.
        QCOMPARE(readBytes(f.box(QStringLiteral("图片/x.txt"))), QByteArray("x"));
    }

    void aFolderThatDoesNotFitLeavesOnlyWhatWasThere() {
        Fixture f;
        const SmallTmpfs small(f.categories[2].folder);
        if (!small.mounted())
            QSKIP(small.why());
        QDir().mkpath(f.box(QStringLiteral("报表/tree")));
        writeBytes(f.box(QStringLiteral("报表/tree/old.txt")), "old");
        const QString tree = f.in(QStringLiteral("tree"));
        QDir().mkpath(tree + QStringLiteral("/sub"));
        // Two fit in 1 MiB, the third does not, whatever the order.
        for (const QString &name :
             {QStringLiteral("a.bin"), QStringLiteral("b.bin"), QStringLiteral("sub/c.bin")})
            writeBytes(tree + u'/' + name, QByteArray(400 * 1024, 'z'));
        const QStringList source = entriesUnder(tree);
        QVERIFY(f.handler.drop(2, {tree}, f.categories));
        QCOMPARE(f.balloons.shown, QStringList{QStringLiteral("目录2 报表|") + tree +
                                               QStringLiteral("移动失败!磁盘空间不足!|1")});
        QCOMPARE(f.status.shown.last(), QStringLiteral("磁盘空间不足，移动该项目失败!"));
        QCOMPARE(entriesUnder(f.box(QStringLiteral("报表"))),
                 (QStringList{QStringLiteral("tree"), QStringLiteral("tree/old.txt")}));
        QCOMPARE(entriesUnder(tree), source);
        QCOMPARE(readBytes(tree + QStringLiteral("/sub/c.bin")).size(), 400 * 1024);
    }

    void pipesAndSocketsAreNotRead_data() {
        QTest::addColumn<int>("tile");
        QTest::addColumn<bool>("socket");
        QTest::addColumn<QString>("balloon");
        QTest::addColumn<QString>("status");
        const QString move = QStringLiteral("不是普通文件或文件夹，不能移动!");
        const QString moveStatus = QStringLiteral("管道、套接字或设备文件不能移动!");
        const QString encrypt = QStringLiteral("不是普通文件，不能加密!");
        const QString encryptStatus = QStringLiteral("管道、套接字或设备文件不能加密!");
        QTest::newRow("pipe on a tile") << 0 << false << move << moveStatus;
        QTest::newRow("socket on a tile") << 0 << true << move << moveStatus;
        QTest::newRow("pipe on the safe") << 8 << false << encrypt << encryptStatus;
        QTest::newRow("socket on the safe") << 8 << true << encrypt << encryptStatus;
    }
    void pipesAndSocketsAreNotRead() {
        QFETCH(int, tile);
        QFETCH(bool, socket);
        QFETCH(QString, balloon);
        QFETCH(QString, status);
        Fixture f;
        f.setKey();
        const QString special = f.in(QStringLiteral("special"));
        QVERIFY(socket ? makeSocket(special) : makePipe(special));
        // Read-only: a tile has to copy it, as across filesystems.
        QFile::setPermissions(special, QFileDevice::ReadOwner);
        const QString file = f.in(QStringLiteral("a.txt"));
        writeBytes(file, "a");
        const PipeUnblocker unblocker(special);
        QVERIFY(f.handler.drop(tile, {special, file}, f.categories));
        QVERIFY(!unblocker.fired());
        const QString title = QStringLiteral("目录%1 ").arg(tile) + f.categories[tile].caption + u'|';
        QCOMPARE(f.balloons.shown.first(), title + special + balloon + QStringLiteral("|1"));
        QCOMPARE(f.status.shown.first(), status);
        QVERIFY(QFileInfo::exists(special));
        // Nothing of it in the folder, and the next item is done.
        QCOMPARE(entriesUnder(f.categories[tile].folder),
                 QStringList{tile == 8 ? QStringLiteral("a.txt.aes") : QStringLiteral("a.txt")});
    }

    void aFolderKeepsWhatCannotBeReadAndSaysSo() {
        Fixture f;
        const QString proj = f.in(QStringLiteral("proj"));
        QDir().mkpath(proj + QStringLiteral("/sub"));
        writeBytes(proj + QStringLiteral("/sub/x.txt"), "x");
        QVERIFY(makePipe(proj + QStringLiteral("/sub/pipe")));
        QVERIFY(QFile::link(QStringLiteral("../sub/x.txt"), proj + QStringLiteral("/link")));
        // A folder of that name in the category: the drop merges by copying.
        QDir().mkpath(f.box(QStringLiteral("资料/proj")));
        const QStringList source = entriesUnder(proj);
        const PipeUnblocker unblocker(proj + QStringLiteral("/sub/pipe"));
        QVERIFY(f.handler.drop(7, {proj}, f.categories));
        QVERIFY(!unblocker.fired());
        QCOMPARE(f.balloons.shown,
                 QStringList{QStringLiteral("目录7 资料|") + proj + QStringLiteral("已复制，其中") + proj +
                             QStringLiteral("/sub/pipe等1项不是普通文件，未复制，原文件夹保留!|1")});
        QCOMPARE(f.status.shown.last(), QStringLiteral("已复制至[资料]目录，原文件夹保留!"));
        QCOMPARE(entriesUnder(proj), source);
        QCOMPARE(entriesUnder(f.box(QStringLiteral("资料/proj"))),
                 (QStringList{QStringLiteral("link"), QStringLiteral("sub"), QStringLiteral("sub/x.txt")}));
        QCOMPARE(linkText(f.box(QStringLiteral("资料/proj/link"))), QByteArray("../sub/x.txt"));
    }
};

QTEST_GUILESS_MAIN(tst_DropHandler)
#include "tst_DropHandler.moc"
