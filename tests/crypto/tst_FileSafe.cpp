// SPDX-License-Identifier: MIT
#include "common/AnsiCodec.h"
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/FileSafe.h"
#include "crypto/FileSafeWindow.h"
#include "crypto/MasterKey.h"
#include "crypto/SafeKeyPrompt.h"
#include "crypto/SafeLog.h"
#include "settings/SettingsFile.h"

#include "SmallTmpfs.h"
#include "SpecialFiles.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

class tst_FileSafe : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        QString app = dir.path() + u'/';
        SettingsFile settings{app};
        RecordingDialogs dialogs;
        RecordingChoosers choosers;
        RecordingShell shell;
        RecordingBalloons balloons;
        ProcessValues values;
        FileSafe safe{settings, values, dialogs, choosers, shell};

        Fixture() {
            values.notifyIcon = &balloons;
            values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
            QDir().mkpath(app + QStringLiteral("保险柜"));
        }
        void storeKey(const QString &securityText) {
            values.SecurityKey = EncryptString(securityText, values.MasterKey);
            settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"), values.SecurityKey);
        }
        QString safeFile(const QString &name) const { return app + QStringLiteral("保险柜/") + name; }
        QStringList logLines() const {
            return AnsiCodec::decode(readBytes(app + QStringLiteral("jm.log")))
                .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        }
    };

private Q_SLOTS:
    void opensOnTheSafeFolder_data() {
        QTest::addColumn<QString>("rootSetting"); // "@" is the temporary folder
        QTest::addColumn<bool>("rootHasSafe");
        QTest::addColumn<QString>("expected"); // relative to the temporary folder
        QTest::newRow("no root") << QString() << false << QStringLiteral("保险柜");
        QTest::newRow("root with a safe") << QStringLiteral("@/box") << true << QStringLiteral("box/保险柜");
        QTest::newRow("root with a safe, trailing separator")
            << QStringLiteral("@/box/") << true << QStringLiteral("box/保险柜");
        QTest::newRow("root without a safe") << QStringLiteral("@/box") << false << QStringLiteral("保险柜");
    }
    void opensOnTheSafeFolder() {
        QFETCH(QString, rootSetting);
        QFETCH(bool, rootHasSafe);
        QFETCH(QString, expected);
        Fixture f;
        QDir().mkpath(f.dir.filePath(QStringLiteral("box")));
        if (rootHasSafe)
            QDir().mkpath(f.dir.filePath(QStringLiteral("box/保险柜")));
        if (!rootSetting.isEmpty())
            f.settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path"),
                                    rootSetting.replace(u'@', f.dir.path()));
        writeBytes(f.dir.filePath(expected + QStringLiteral("/a.txt")), "a");
        f.safe.load();
        QCOMPARE(f.safe.safeFolder(), f.dir.filePath(expected));
        QCOMPARE(f.safe.folder(), f.dir.filePath(expected));
        QCOMPARE(f.safe.resultFolder, f.dir.filePath(expected) + u'/');
        QCOMPARE(f.safe.files(), QStringList{QStringLiteral("a.txt")});
        QVERIFY(f.safe.decryptPath.isEmpty() && f.safe.encryptPath.isEmpty());
    }

    void clickedFilesFillTheirBoxesAndTheFilterShowsOnlyContainers() {
        Fixture f;
        writeBytes(f.safeFile(QStringLiteral("report.doc")), "r");
        writeBytes(f.safeFile(QStringLiteral("old.AES")), "o");
        writeBytes(f.safeFile(QStringLiteral("x.aes")), "x");
        f.safe.load();
        QCOMPARE(f.safe.files().size(), 3);
        f.safe.fileClicked(QStringLiteral("old.AES"));
        f.safe.fileClicked(QStringLiteral("report.doc"));
        QCOMPARE(f.safe.decryptPath, f.safeFile(QStringLiteral("old.AES")));
        QCOMPARE(f.safe.encryptPath, f.safeFile(QStringLiteral("report.doc")));
        f.safe.setOnlyEncrypted(true);
        QCOMPARE(f.safe.files(), (QStringList{QStringLiteral("old.AES"), QStringLiteral("x.aes")}));
        QFile::remove(f.safeFile(QStringLiteral("report.doc")));
        f.safe.fileClicked(QStringLiteral("report.doc")); // gone meanwhile: both boxes empty
        QVERIFY(f.safe.decryptPath.isEmpty() && f.safe.encryptPath.isEmpty());
    }

    void missingInputsAreNamed_data() {
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QString>("resultFolder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("encrypt, no folder") << true << QString() << QStringLiteral("in.txt")
                                            << QStringLiteral("没有选择加密文件后的存放文件夹！");
        QTest::newRow("encrypt, no file")
            << true << QStringLiteral("@") << QString() << QStringLiteral("请先选择一个待加密文件！");
        QTest::newRow("encrypt, file gone") << true << QStringLiteral("@") << QStringLiteral("gone.txt")
                                            << QStringLiteral("该文件不存在！请重新选择！");
        QTest::newRow("decrypt, no folder") << false << QString() << QStringLiteral("in.txt")
                                            << QStringLiteral("没有选择解密文件后的存放文件夹！");
        QTest::newRow("decrypt, no file")
            << false << QStringLiteral("@") << QString() << QStringLiteral("请先选择一个待解密文件！");
        QTest::newRow("decrypt, a folder") << false << QStringLiteral("@") << QStringLiteral("保险柜")
                                           << QStringLiteral("该文件不存在！请重新选择！");
    }
    void missingInputsAreNamed() {
        QFETCH(bool, encrypt);
        QFETCH(QString, resultFolder);
        QFETCH(QString, file);
        QFETCH(QString, message);
        Fixture f;
        f.storeKey(QStringLiteral("ans1Key123"));
        writeBytes(f.app + QStringLiteral("in.txt"), "plain");
        f.safe.load();
        f.safe.resultFolder = resultFolder.replace(u'@', f.app);
        (encrypt ? f.safe.encryptPath : f.safe.decryptPath) = file.isEmpty() ? QString() : f.app + file;
        QVERIFY(!(encrypt ? f.safe.encrypt() : f.safe.decrypt()));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].text, message);
        QCOMPARE(f.dialogs.shown[0].icon, MessageIcon::None);
        QVERIFY(f.balloons.shown.isEmpty());
        QVERIFY(!QFileInfo::exists(f.app + QStringLiteral("jm.log")));
    }

    void encryptThenDecryptRoundTripsAndLogsEach() {
        Fixture f;
        f.storeKey(QStringLiteral("ans1Key123"));
        const QString source = f.app + QStringLiteral("report.doc");
        writeBytes(source, "quarterly figures\n");
        f.safe.load();
        f.safe.encryptPath = source;
        QVERIFY(f.safe.encrypt());
        const QString container = f.safeFile(QStringLiteral("report.doc.aes"));
        QVERIFY(QFileInfo::exists(container));
        QVERIFY(QFileInfo::exists(source)); // the window never deletes the plaintext
        QCOMPARE(f.balloons.shown.last(),
                 QStringLiteral("加密|") + source + QStringLiteral("加密成功并保存完毕!|1"));
        QVERIFY(f.safe.files().contains(QStringLiteral("report.doc.aes")));

        QDir().mkpath(f.app + QStringLiteral("out"));
        f.safe.resultFolder = f.app + QStringLiteral("out/");
        f.safe.fileClicked(QStringLiteral("report.doc.aes"));
        f.safe.openAfterDecrypt = true;
        QVERIFY(f.safe.decrypt());
        QCOMPARE(readBytes(f.app + QStringLiteral("out/report.doc")), QByteArray("quarterly figures\n"));
        QCOMPARE(f.shell.opened,
                 QStringList{QStringLiteral("path:") + f.app + QStringLiteral("out/report.doc")});

        const QStringList lines = f.logLines();
        QCOMPARE(lines.size(), 2);
        const QRegularExpression stamp(
            QStringLiteral("^\\[(加密|解密)\\]\\d{4}/\\d{1,2}/\\d{1,2} \\d{1,2}:\\d\\d:\\d\\d,"));
        QVERIFY(stamp.match(lines[0]).hasMatch());
        QVERIFY(lines[0].startsWith(QStringLiteral("[加密]")));
        QVERIFY(lines[0].endsWith(u',' + source + u',' + container + u',' + f.values.SecurityKey));
        QVERIFY(lines[1].startsWith(QStringLiteral("[解密]")));
        QVERIFY(lines[1].endsWith(u',' + container + u',' + f.app + QStringLiteral("out/report.doc,") +
                                  f.values.SecurityKey));
        // The log box ends with the newest record.
        QVERIFY(f.safe.logText().trimmed().endsWith(lines[1]));
    }

    void overwriteQuestion_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("No keeps the old container") << false;
        QTest::newRow("Yes replaces it") << true;
    }
    void overwriteQuestion() {
        QFETCH(bool, answer);
        Fixture f;
        f.storeKey(QStringLiteral("ans1Key123"));
        const QString source = f.app + QStringLiteral("report.txt");
        writeBytes(source, "new text");
        const QString container = f.safeFile(QStringLiteral("report.txt.aes"));
        writeBytes(container, "old container");
        f.safe.load();
        f.safe.encryptPath = source;
        f.dialogs.yesNoAnswers.enqueue(answer);
        QCOMPARE(f.safe.encrypt(), answer);
        QCOMPARE(f.dialogs.shown[0].kind, QStringLiteral("yesno"));
        QCOMPARE(f.dialogs.shown[0].title, QStringLiteral("【提示】"));
        QCOMPARE(f.dialogs.shown[0].text, container + QStringLiteral("已存在同名文件，是否覆盖？"));
        if (answer) {
            QVERIFY(readBytes(container) != QByteArray("old container"));
            QCOMPARE(f.logLines().size(), 1);
        } else {
            QCOMPARE(f.dialogs.shown[1].text, QStringLiteral("加密") + source + QStringLiteral("被取消！"));
            QCOMPARE(readBytes(container), QByteArray("old container"));
            QVERIFY(f.logLines().isEmpty());
            QVERIFY(f.balloons.shown.isEmpty());
        }
    }

    void failuresAreNeverLoggedOrAnnouncedAsDone() {
        Fixture f;
        const QString source = f.app + QStringLiteral("a.txt");
        writeBytes(source, QByteArray(1000, 'a'));
        f.safe.load();
        // No key stored: the file key is empty and the routine fails.
        f.safe.encryptPath = source;
        QVERIFY(!f.safe.encrypt());
        QCOMPARE(f.balloons.shown.last(), QStringLiteral("加密|") + source + QStringLiteral("加密失败!|1"));
        QVERIFY(!QFileInfo::exists(f.safeFile(QStringLiteral("a.txt.aes"))));

        // A container sealed under another key: decrypting it is a failure,
        // with no garbage file and no log line, whatever the length byte says.
        f.storeKey(QStringLiteral("ans1Key123"));
        QVERIFY(f.safe.encrypt());
        f.storeKey(QStringLiteral("ans2Other9"));
        QDir().mkpath(f.app + QStringLiteral("out"));
        f.safe.resultFolder = f.app + QStringLiteral("out/");
        f.safe.decryptPath = f.safeFile(QStringLiteral("a.txt.aes"));
        const bool decrypted = f.safe.decrypt();
        if (decrypted) {
            // The container has no check value: 1 in 16 wrong keys pass the
            // length byte. This key was chosen not to.
            QFAIL("a wrong key passed the length byte");
        }
        QCOMPARE(f.balloons.shown.last(),
                 QStringLiteral("解密|") + f.safe.decryptPath + QStringLiteral("解密失败!|1"));
        QVERIFY(!QFileInfo::exists(f.app + QStringLiteral("out/a.txt")));
        QCOMPARE(f.logLines().size(), 1);
    }

    void choosersFillTheBoxes() {
        Fixture f;
        f.safe.load();
        for (const char *answer : {"x.aes", "y.txt", "out"})
            f.choosers.answers.enqueue(f.app + QString::fromLatin1(answer));
        f.safe.chooseFileToDecrypt(nullptr);
        f.safe.chooseFileToEncrypt(nullptr);
        f.safe.chooseResultFolder(nullptr);
        f.safe.chooseFileToDecrypt(nullptr); // cancelled: unchanged
        QCOMPARE(f.safe.decryptPath, f.app + QStringLiteral("x.aes"));
        QCOMPARE(f.safe.encryptPath, f.app + QStringLiteral("y.txt"));
        QCOMPARE(f.safe.resultFolder, f.app + QStringLiteral("out/"));
        QCOMPARE(f.choosers.calls,
                 (QStringList{QStringLiteral("file|选择一个待解密文件|*.aes|解密文件|1"),
                              QStringLiteral("file|选择一个待加密文件|*.*|所有文件|1"),
                              QStringLiteral("folder|选择待待加密或解密文件存放的文件夹路径|"),
                              QStringLiteral("file|选择一个待解密文件|*.aes|解密文件|1")}));
        f.safe.openResultFolder();
        QCOMPARE(f.shell.opened, QStringList{QStringLiteral("path:") + f.app + QStringLiteral("out/")});
    }

    void windowMirrorsTheSafe() {
        Fixture f;
        f.storeKey(QStringLiteral("ans1Key123"));
        writeBytes(f.safeFile(QStringLiteral("report.doc")), "r");
        writeBytes(f.safeFile(QStringLiteral("x.aes")), "x");
        QDir().mkpath(f.safeFile(QStringLiteral("sub")));
        writeBytes(f.app + QStringLiteral("jm.log"), gbk(QStringLiteral("[加密]earlier\r\n")));
        FileSafeWindow window(f.safe);
        QCOMPARE(window.windowTitle(), QStringLiteral("文件保险柜"));
        auto *files = window.findChild<QListWidget *>(QStringLiteral("File1"));
        auto *folders = window.findChild<QListWidget *>(QStringLiteral("Dir1"));
        auto *log = window.findChild<QTextEdit *>(QStringLiteral("BoxLog"));
        QCOMPARE(files->count(), 2);
        // The folder list: the ancestors down to the safe folder, then its subfolders.
        QCOMPARE(folders->currentItem()->data(Qt::UserRole).toString(), f.safeFile(QString()).chopped(1));
        QCOMPARE(folders->item(0)->text(), QStringLiteral("/"));
        QListWidgetItem *sub = folders->item(folders->count() - 1);
        QCOMPARE(sub->text().trimmed(), QStringLiteral("sub"));
        Q_EMIT folders->itemActivated(sub);
        QCOMPARE(f.safe.folder(), f.safeFile(QStringLiteral("sub")));
        QCOMPARE(files->count(), 0);
        Q_EMIT folders->itemActivated(folders->item(folders->count() - 2)); // back up one step
        QCOMPARE(f.safe.folder(), f.safeFile(QString()).chopped(1));
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("Text1(0)"))->text(), f.safeFile(QString()));
        QCOMPARE(log->toPlainText().trimmed(), QStringLiteral("[加密]earlier"));

        window.findChild<QCheckBox *>(QStringLiteral("Check1(1)"))->click();
        QCOMPARE(files->count(), 1);
        QCOMPARE(files->item(0)->text(), QStringLiteral("x.aes"));
        window.findChild<QCheckBox *>(QStringLiteral("Check1(1)"))->click();

        const auto rect =
            files->visualItemRect(files->findItems(QStringLiteral("report.doc"), Qt::MatchExactly)[0]);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("Text1(2)"))->text(),
                 f.safeFile(QStringLiteral("report.doc")));
        window.findChild<QPushButton *>(QStringLiteral("Command2(1)"))->click();
        QCOMPARE(files->count(), 3);
        QVERIFY(log->toPlainText().trimmed().endsWith(f.values.SecurityKey));
    }

    void nonRegularFilesAreRefused_data() {
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("encrypt a pipe") << true << QStringLiteral("fifo") << QStringLiteral("p");
        QTest::newRow("decrypt a pipe") << false << QStringLiteral("fifo") << QStringLiteral("p.aes");
        QTest::newRow("encrypt a socket") << true << QStringLiteral("socket") << QStringLiteral("s");
        QTest::newRow("encrypt a device") << true << QStringLiteral("device") << QStringLiteral("/dev/null");
    }
    void nonRegularFilesAreRefused() {
        QFETCH(bool, encrypt);
        QFETCH(QString, kind);
        QFETCH(QString, name);
        Fixture f;
        f.storeKey(QStringLiteral("ans1Key123"));
        const QString path = name.startsWith(u'/') ? name : f.app + name;
        if (kind == u"fifo") {
            QVERIFY(makePipe(path));
        } else if (kind == u"socket") {
            QVERIFY(makeSocket(path));
        }
        f.safe.load();
        (encrypt ? f.safe.encryptPath : f.safe.decryptPath) = path;
        QVERIFY(!(encrypt ? f.safe.encrypt() : f.safe.decrypt()));
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY2(f.dialogs.shown[0].text.contains(QStringLiteral("不是普通文件")),
                 qPrintable(f.dialogs.shown[0].text));
        QVERIFY(f.balloons.shown.isEmpty());
        QCOMPARE(f.safe.files(), QStringList());
        QVERIFY(!QFileInfo::exists(f.app + QStringLiteral("jm.log")));
    }

    void aRecordThatCannotBeLoggedIsSaid() {
        Fixture f;
        SmallTmpfs disk(f.dir.path());
        if (!disk.mounted())
            QSKIP(disk.why());
        QDir().mkpath(f.safeFile(QString()));
        f.storeKey(QStringLiteral("ans1Key123"));
        const QString log = f.app + QStringLiteral("jm.log");
        writeBytes(log, SmallTmpfs::shortOfAPage(50)); // room for 50 bytes of the record
        const QByteArray before = readBytes(log);
        QVERIFY(disk.fill());
        QTemporaryDir elsewhere;
        const QString source = elsewhere.filePath(QStringLiteral("a.txt"));
        writeBytes(source, "a");
        f.safe.load();
        f.safe.encryptPath = source;
        f.safe.resultFolder = elsewhere.path() + u'/';
        QVERIFY(f.safe.encrypt()); // the container is written...
        QVERIFY(QFileInfo::exists(source + QStringLiteral(".aes")));
        QCOMPARE(readBytes(log), before); // ...its record is not, not even half of it
        QCOMPARE(f.dialogs.shown.size(), 1);
        QVERIFY2(f.dialogs.shown[0].text.contains(QStringLiteral("jm.log")),
                 qPrintable(f.dialogs.shown[0].text));
        QCOMPARE(f.dialogs.shown[0].icon, MessageIcon::Warning);
    }

    void logIsReadableByItsOwnerOnly_data() {
        QTest::addColumn<int>("existing"); // permissions of the log before, -1: none
        QTest::newRow("new log") << -1;
        QTest::newRow("readable by all") << 0644;
        QTest::newRow("readable by the group") << 0640;
        QTest::newRow("writable by all") << 0666;
    }
    void logIsReadableByItsOwnerOnly() {
        QFETCH(int, existing);
        QTemporaryDir dir;
        const QString app = dir.path() + u'/';
        const QByteArray log = QFile::encodeName(SafeLog::path(app));
        if (existing >= 0) {
            writeBytes(SafeLog::path(app), "earlier\r\n");
            QCOMPARE(::chmod(log.constData(), mode_t(existing)), 0);
        }
        const mode_t saved = ::umask(022);
        const bool appended = SafeLog::append(app, QStringLiteral("[加密]record"));
        ::umask(saved);
        QVERIFY(appended);
        struct stat info = {};
        QCOMPARE(::stat(log.constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
        QVERIFY(readBytes(SafeLog::path(app)).endsWith(gbk(QStringLiteral("[加密]record\r\n"))));
    }

    void keyVerifiedByThePromptIsTheKeyUsed_data() {
        QTest::addColumn<QString>("keyAtStart"); // security text loaded when the program started
        QTest::newRow("none at start") << QString();
        QTest::newRow("another one at start") << QStringLiteral("old1OldKey1");
    }
    void keyVerifiedByThePromptIsTheKeyUsed() {
        QFETCH(QString, keyAtStart);
        Fixture f;
        if (!keyAtStart.isEmpty())
            f.values.SecurityKey = EncryptString(keyAtStart, f.values.MasterKey);
        // Set meanwhile by another copy or by tackora-cli.
        const QString stored = EncryptString(QStringLiteral("ans1Key123"), f.values.MasterKey);
        f.settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"), stored);
        f.dialogs.inputAnswers.enqueue(QStringLiteral("Key123"));
        QCOMPARE(AskSafeKey(f.dialogs, f.settings, f.values, SafeKeyAsker::SafeTile),
                 SafeKeyOutcome::OpenSafe);

        const QString source = f.app + QStringLiteral("report.doc");
        writeBytes(source, "figures");
        f.safe.load();
        f.safe.encryptPath = source;
        QVERIFY(f.safe.encrypt());
        const QString back = f.app + QStringLiteral("back.doc");
        QVERIFY(DecryptFileWithKey(f.safeFile(QStringLiteral("report.doc.aes")), back,
                                   QStringLiteral("ans1Key123")));
        QCOMPARE(readBytes(back), QByteArray("figures"));
        QVERIFY(f.logLines().last().endsWith(u',' + stored));
    }

    void windowFallsBackWhenTheBrowsedFolderIsGone_data() {
        QTest::addColumn<QString>("removed"); // under the safe folder
        QTest::addColumn<QString>("expected");
        QTest::newRow("browsed folder removed") << QStringLiteral("a/b") << QStringLiteral("a");
        QTest::newRow("its parent removed too") << QStringLiteral("a") << QString();
    }
    void windowFallsBackWhenTheBrowsedFolderIsGone() {
        QFETCH(QString, removed);
        QFETCH(QString, expected);
        Fixture f;
        QDir().mkpath(f.safeFile(QStringLiteral("a/b/c")));
        writeBytes(f.safeFile(QStringLiteral("top.txt")), "t");
        FileSafeWindow window(f.safe);
        auto *folders = window.findChild<QListWidget *>(QStringLiteral("Dir1"));
        auto *files = window.findChild<QListWidget *>(QStringLiteral("File1"));
        for (const char *step : {"a", "b"}) {
            QList<QListWidgetItem *> found = folders->findItems(QString::fromLatin1(step), Qt::MatchEndsWith);
            QVERIFY(!found.isEmpty());
            Q_EMIT folders->itemActivated(found.last());
        }
        QCOMPARE(f.safe.folder(), f.safeFile(QStringLiteral("a/b")));
        QVERIFY(QDir(f.safeFile(removed)).removeRecursively());
        // The stale entry of c, under a folder that is gone.
        Q_EMIT folders->itemActivated(folders->item(folders->count() - 1));
        const QString nearest = expected.isEmpty() ? f.safeFile(QString()).chopped(1) : f.safeFile(expected);
        QCOMPARE(f.safe.folder(), nearest);
        QCOMPARE(folders->currentItem()->data(Qt::UserRole).toString(), nearest);
        QCOMPARE(folders->item(0)->text(), QStringLiteral("/"));
        QCOMPARE(files->count(), expected.isEmpty() ? 1 : 0);
    }

    void safeKeyPrompt_data() {
        QTest::addColumn<bool>("keyStored");
        QTest::addColumn<QString>("typed"); // "<cancel>" cancels
        QTest::addColumn<int>("asker");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message"); // title|text|icon, or empty
        const int tile = int(SafeKeyAsker::SafeTile);
        const int menu = int(SafeKeyAsker::Menu);
        QTest::newRow("cancel") << true << QStringLiteral("<cancel>") << tile
                                << int(SafeKeyOutcome::Cancelled) << QString();
        QTest::newRow("blanks only") << true << QStringLiteral("   ") << tile
                                     << int(SafeKeyOutcome::Cancelled) << QString();
        QTest::newRow("right, with blanks")
            << true << QStringLiteral(" Key123 ") << tile << int(SafeKeyOutcome::OpenSafe) << QString();
        QTest::newRow("wrong") << true << QStringLiteral("Key124") << menu << int(SafeKeyOutcome::WrongKey)
                               << QStringLiteral("警告|您输入的安全密匙不正确！不能使用文件保险柜！|1");
        QTest::newRow("no key, tile")
            << false << QStringLiteral("x") << tile << int(SafeKeyOutcome::OpenSettings)
            << QStringLiteral("提示|尚未设置过安全密匙或其他未知错误！请重新设置密匙！|3");
        QTest::newRow("no key, menu")
            << false << QStringLiteral("x") << menu << int(SafeKeyOutcome::OpenSettings)
            << QStringLiteral("提示|尚未设置过安全密匙或其他未知错误！请重新设置安全密匙！|3");
    }
    void safeKeyPrompt() {
        QFETCH(bool, keyStored);
        QFETCH(QString, typed);
        QFETCH(int, asker);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        Fixture f;
        if (keyStored)
            f.storeKey(QStringLiteral("ans1Key123"));
        f.dialogs.inputAnswers.enqueue(typed == QStringLiteral("<cancel>") ? std::nullopt
                                                                           : std::optional<QString>(typed));
        QCOMPARE(int(AskSafeKey(f.dialogs, f.settings, f.values, SafeKeyAsker(asker))), outcome);
        QCOMPARE(f.dialogs.shown[0].text, QStringLiteral("请输入安全密匙："));
        QCOMPARE(f.dialogs.shown[0].title, QStringLiteral("【文件保险柜】"));
        QCOMPARE(f.dialogs.shown.size(), message.isEmpty() ? 1 : 2);
        if (!message.isEmpty()) {
            const auto &shown = f.dialogs.shown[1];
            QCOMPARE(QStringLiteral("%1|%2|%3").arg(shown.title, shown.text).arg(int(shown.icon)), message);
        }
    }
};

QTEST_MAIN(tst_FileSafe)
#include "tst_FileSafe.moc"
