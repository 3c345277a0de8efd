// SPDX-License-Identifier: MIT
// tackora-cli end to end, on real files, fed through standard input.
#include "common/AnsiCodec.h"
#include "settings/SettingsFile.h"

#include "SmallTmpfs.h"
#include "SpecialFiles.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run cli(const QStringList &arguments, const QByteArray &input = QByteArray()) {
    QProcess process;
    process.start(qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/bin/tackora-cli"), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class tst_Cli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_home;
    QString m_data;

    QStringList home() const { return {QStringLiteral("--home"), m_home}; }
    QString data(const QString &name) const { return m_data + u'/' + name; }

private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        m_home = m_dir.filePath(QStringLiteral("home"));
        m_data = m_dir.filePath(QStringLiteral("data"));
        QDir().mkpath(m_home);
        QDir().mkpath(m_data);
        QDir().mkpath(m_home + QStringLiteral("/保险柜"));
    }
    void cleanup() {
        QDir(m_home).removeRecursively();
        QDir(m_data).removeRecursively();
    }

    void setKeyThenEncryptAndDecrypt() {
        Run run =
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n");
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("密匙设置成功！")), qPrintable(run.out));
        const QString stored =
            SettingsFile(m_home).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"));
        QCOMPARE(stored.size(), 32);

        writeBytes(data(QStringLiteral("report.doc")), "the report");
        run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("encrypt"),
                                       data(QStringLiteral("report.doc"))},
                  "Key123\n");
        QCOMPARE(run.exitCode, 0);
        const QString container = m_home + QStringLiteral("/保险柜/report.doc.aes");
        QCOMPARE(QFileInfo(container).size(), 16);
        QVERIFY(QFileInfo::exists(data(QStringLiteral("report.doc")))); // the source stays

        run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("decrypt"), container,
                                       QStringLiteral("--out"), m_data},
                  "Key123\n");
        QCOMPARE(run.exitCode, 1); // report.doc is still there
        QVERIFY(run.err.contains(QStringLiteral("已存在同名文件")));
        QCOMPARE(readBytes(data(QStringLiteral("report.doc"))), QByteArray("the report"));
        run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("decrypt"), container,
                                       QStringLiteral("--out"), m_data, QStringLiteral("--force")},
                  "Key123\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readBytes(data(QStringLiteral("report.doc"))), QByteArray("the report"));

        const QStringList log =
            AnsiCodec::decode(readBytes(m_home + QStringLiteral("/jm.log"))).split(QStringLiteral("\r\n"));
        QCOMPARE(log.size(), 3); // two records and the empty rest after the last line end
        QVERIFY(log[0].startsWith(QStringLiteral("[加密]")));
        QVERIFY(
            log[0].endsWith(u',' + data(QStringLiteral("report.doc")) + u',' + container + u',' + stored));
        QVERIFY(log[1].startsWith(QStringLiteral("[解密]")));
        QVERIFY(
            log[1].endsWith(u',' + container + u',' + data(QStringLiteral("report.doc")) + u',' + stored));
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("wrong key") << QStringList{QStringLiteral("encrypt"), QStringLiteral("a.txt")}
                                   << QByteArray("Key124\n") << 1
                                   << QStringLiteral("您输入的安全密匙不正确！不能使用文件保险柜！");
        QTest::newRow("no key typed") << QStringList{QStringLiteral("encrypt"), QStringLiteral("a.txt")}
                                      << QByteArray() << 1 << QStringLiteral("no security key given");
        QTest::newRow("missing file") << QStringList{QStringLiteral("encrypt"), QStringLiteral("none.txt")}
                                      << QByteArray("Key123\n") << 1 << QStringLiteral("该文件不存在！");
        QTest::newRow("not a container")
            << QStringList{QStringLiteral("decrypt"), QStringLiteral("a.txt")} << QByteArray("Key123\n") << 1
            << QStringLiteral("not an .aes container");
        QTest::newRow("output folder is a file")
            << QStringList{QStringLiteral("encrypt"), QStringLiteral("a.txt"), QStringLiteral("--out"),
                           QStringLiteral("a.txt")}
            << QByteArray("Key123\n") << 1 << QStringLiteral("for the results");
        QTest::newRow("no files") << QStringList{QStringLiteral("encrypt")} << QByteArray("Key123\n") << 2
                                  << QStringLiteral("name at least one file");
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n")
                .exitCode,
            0);
        writeBytes(data(QStringLiteral("a.txt")), "a");
        QDir::setCurrent(m_data);
        const Run run = cli(home() + QStringList{QStringLiteral("safe")} + arguments, input);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        QCOMPARE(QDir(m_home + QStringLiteral("/保险柜")).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(!QFileInfo::exists(m_home + QStringLiteral("/jm.log")));
    }

    void noKeySetYet() {
        writeBytes(data(QStringLiteral("a.txt")), "a");
        const Run run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("encrypt"),
                                                 data(QStringLiteral("a.txt"))},
                            "anything\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("尚未设置过安全密匙或其他未知错误！请重新设置安全密匙！")));
    }

    void wrongStoredKeyPairIsAFailureWithoutOutput() {
        // Files sealed under one pair do not open under another: the length byte
        // catches most such keys, and nothing is written or logged then.
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n")
                .exitCode,
            0);
        QStringList names;
        for (int i = 0; i < 6; ++i) {
            names.append(data(QStringLiteral("f%1.bin").arg(i)));
            writeBytes(names.last(), QByteArray(100 + i, char('a' + i)));
        }
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("encrypt")} + names, "Key123\n")
                .exitCode,
            0);
        QCOMPARE(cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key"),
                                          QStringLiteral("--force")},
                     "Key123\nans2\n")
                     .exitCode,
                 0);
        const QString out = m_dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        QStringList containers;
        for (const QString &name : names)
            containers.append(m_home + QStringLiteral("/保险柜/") + QFileInfo(name).fileName() +
                              QStringLiteral(".aes"));
        const Run run = cli(
            home() +
                QStringList{QStringLiteral("safe"), QStringLiteral("decrypt"), QStringLiteral("--out"), out} +
                containers,
            "Key123\n");
        QCOMPARE(run.exitCode, 1);
        const int failed = int(run.err.count(QStringLiteral("解密失败!")));
        QVERIFY(failed >= 1);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 6 - failed);
        QVERIFY(run.err.contains(QStringLiteral("长度字段错误")));
    }

    void setKeyRefusesToReplaceAndChecksItsInput() {
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n")
                .exitCode,
            0);
        const QString stored =
            SettingsFile(m_home).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"));
        Run run =
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Other99\nans1\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("--force")));
        run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key"),
                                       QStringLiteral("--force")},
                  "short\nans1\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("密匙长度应为6-12位，且区分大小写，请重新输入！")));
        run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key"),
                                       QStringLiteral("--force")},
                  "with blank\nans1\n");
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(SettingsFile(m_home).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key")), stored);
    }

    void readOnlySourceIsSealedAndStays() {
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n")
                .exitCode,
            0);
        const QString source = data(QStringLiteral("ro.txt"));
        writeBytes(source, "read only");
        QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        const Run run =
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("encrypt"), source}, "Key123\n");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readBytes(source), QByteArray("read only"));
        QVERIFY(QFileInfo::exists(m_home + QStringLiteral("/保险柜/ro.txt.aes")));
    }

    void packAndUnpack_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sealed");
        QTest::addColumn<QString>("unsealed");
        QTest::newRow("lower case") << QStringLiteral("notes.txt") << QStringLiteral("notes.dll")
                                    << QStringLiteral("notes.txt");
        QTest::newRow("upper-case ending")
            << QStringLiteral("NOTES.TXT") << QStringLiteral("NOTES.dll") << QStringLiteral("NOTES.txt");
    }
    void packAndUnpack() {
        QFETCH(QString, text);
        QFETCH(QString, sealed);
        QFETCH(QString, unsealed);
        writeBytes(data(text), QByteArray(50, 'n'));
        Run run = cli({QStringLiteral("pack"), data(text)});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("加密文件成功！")));
        QFile::remove(data(text));
        run = cli({QStringLiteral("unpack"), data(sealed)});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("文件校验成功！")));
        QVERIFY(readBytes(data(unsealed)).startsWith(QByteArray(50, 'n')));

        // An existing result is replaced only when asked to.
        const QByteArray before = readBytes(data(sealed));
        writeBytes(data(unsealed), QByteArray(70, 'm'));
        QCOMPARE(cli({QStringLiteral("pack"), data(unsealed), QStringLiteral("--force")}).exitCode, 0);
        QVERIFY(readBytes(data(sealed)) != before);
    }

    void packerRefusals_data() {
        QTest::addColumn<QStringList>("arguments"); // names in the data folder
        QTest::addColumn<QStringList>("files");     // made first; "a=b" makes b a hard link to a
        QTest::addColumn<QString>("error");
        const QString pack = QStringLiteral("pack");
        const QString unpack = QStringLiteral("unpack");
        const QString force = QStringLiteral("--force");
        const QString x = QStringLiteral("x.txt");
        const QString y = QStringLiteral("x.dll");
        QTest::newRow("unpack a .txt") << QStringList{unpack, x} << QStringList{x} << QStringLiteral(".dll");
        QTest::newRow("pack a .dll") << QStringList{pack, y} << QStringList{y} << QStringLiteral(".txt");
        QTest::newRow("pack a name without an ending")
            << QStringList{pack, QStringLiteral("dir/ab")} << QStringList{QStringLiteral("dir/ab")}
            << QStringLiteral(".txt");
        QTest::newRow("pack over an existing .dll")
            << QStringList{pack, x} << QStringList{x, y} << QStringLiteral("--force");
        QTest::newRow("unpack over an existing .txt")
            << QStringList{unpack, y} << QStringList{y, x} << QStringLiteral("--force");
        QTest::newRow("pack onto itself, forced")
            << QStringList{pack, x, force} << QStringList{x, x + u'=' + y} << QStringLiteral("同一个文件");
        QTest::newRow("unpack onto itself, forced")
            << QStringList{unpack, y, force} << QStringList{y, y + u'=' + x} << QStringLiteral("同一个文件");
    }
    void packerRefusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, files);
        QFETCH(QString, error);
        QDir().mkpath(data(QStringLiteral("dir")));
        for (const QString &file : files) {
            const QStringList link = file.split(u'=');
            if (link.size() == 2)
                QCOMPARE(::link(QFile::encodeName(data(link[0])).constData(),
                                QFile::encodeName(data(link[1])).constData()),
                         0);
            else
                writeBytes(data(file), file.toUtf8() + " content\r\n");
        }
        const auto snapshot = [this] {
            QStringList entries;
            QDirIterator it(m_data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                entries.append(path + u'|' + QString::fromUtf8(readBytes(path)));
            }
            entries.sort();
            return entries;
        };
        const QStringList before = snapshot();
        QDir::setCurrent(m_data);
        const Run run = cli(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        QCOMPARE(snapshot(), before);
    }

    void nonRegularFilesAreRefused_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        const QStringList encrypt{QStringLiteral("safe"), QStringLiteral("encrypt")};
        const QStringList decrypt{QStringLiteral("safe"), QStringLiteral("decrypt")};
        const QStringList pack{QStringLiteral("pack")};
        QTest::newRow("encrypt a pipe") << encrypt << QStringLiteral("fifo") << QStringLiteral("p");
        QTest::newRow("decrypt a pipe") << decrypt << QStringLiteral("fifo") << QStringLiteral("p.aes");
        QTest::newRow("encrypt a socket") << encrypt << QStringLiteral("socket") << QStringLiteral("s");
        QTest::newRow("encrypt a device")
            << encrypt << QStringLiteral("device") << QStringLiteral("/dev/null");
        QTest::newRow("encrypt a link to a pipe") << encrypt << QStringLiteral("link") << QStringLiteral("l");
        QTest::newRow("pack a pipe") << pack << QStringLiteral("fifo") << QStringLiteral("p.txt");
    }
    void nonRegularFilesAreRefused() {
        QFETCH(QStringList, command);
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n")
                .exitCode,
            0);
        const QString path = name.startsWith(u'/') ? name : data(name);
        const QByteArray native = QFile::encodeName(path);
        if (kind == u"fifo") {
            QVERIFY(makePipe(path));
        } else if (kind == u"link") {
            QVERIFY(makePipe(data(QStringLiteral("p"))));
            QCOMPARE(::symlink("p", native.constData()), 0);
        } else if (kind == u"socket") {
            QVERIFY(makeSocket(path));
        }
        const Run run = cli(home() + command + QStringList{path}, "Key123\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("不是普通文件")), qPrintable(run.err));
        QCOMPARE(QDir(m_home + QStringLiteral("/保险柜")).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(!QFileInfo::exists(m_home + QStringLiteral("/jm.log")));
    }

    void aRecordThatCannotBeLoggedFailsTheRun() {
        SmallTmpfs disk(m_home);
        if (!disk.mounted())
            QSKIP(disk.why());
        QCOMPARE(
            cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, "Key123\nans1\n")
                .exitCode,
            0);
        const QString log = m_home + QStringLiteral("/jm.log");
        // Room for 50 bytes of the record, not for all of it.
        writeBytes(log, SmallTmpfs::shortOfAPage(50));
        const QByteArray before = readBytes(log);
        QVERIFY(disk.fill());
        writeBytes(data(QStringLiteral("a.txt")), "a");
        const QString out = m_dir.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        const Run run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("encrypt"),
                                                 data(QStringLiteral("a.txt")), QStringLiteral("--out"), out},
                            "Key123\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("jm.log")), qPrintable(run.err));
        QVERIFY(QFileInfo::exists(out + QStringLiteral("/a.txt.aes"))); // the result stays
        QCOMPARE(readBytes(log), before);                               // no torn record
    }

    void setKeyChecksTheWholeKey_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("error"); // empty: the key is set and opens the safe
        QTest::newRow("answer in Chinese, 8-character key")
            << QByteArray("Key12345\n春夏秋冬\n") << QString();
        QTest::newRow("answer in Chinese, 12-character key")
            << QByteArray("Key123456789\n春夏秋冬\n") << QStringLiteral("缩短4位");
        QTest::newRow("key in Chinese") << QByteArray("Key中12345\nans1\n") << QStringLiteral("“中”");
    }
    void setKeyChecksTheWholeKey() {
        QFETCH(QByteArray, input);
        QFETCH(QString, error);
        const Run run = cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("set-key")}, input);
        const QString stored =
            SettingsFile(m_home).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"));
        if (!error.isEmpty()) {
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(error), qPrintable(run.err));
            QCOMPARE(stored, QString());
            return;
        }
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(stored.size(), 32);
        writeBytes(data(QStringLiteral("a.txt")), "a");
        QCOMPARE(cli(home() + QStringList{QStringLiteral("safe"), QStringLiteral("encrypt"),
                                          data(QStringLiteral("a.txt"))},
                     input.left(input.indexOf('\n') + 1))
                     .exitCode,
                 0);
    }

    void memosListsEachMemoWithItsNextDue() {
        const SettingsFile settings(m_home);
        const QString memo = QStringLiteral("MEMO");
        settings.WriteSetting(memo, QStringLiteral("M0"), QStringLiteral("1|年|02-29|08:00:00|闰日"));
        settings.WriteSetting(memo, QStringLiteral("M1"), QStringLiteral("1|季|1|09:30:00|季报"));
        settings.WriteSetting(memo, QStringLiteral("M2"), QStringLiteral("1|周|7|18:00:00|周日"));
        settings.WriteSetting(memo, QStringLiteral("M3"), QStringLiteral("1|日|1|9:00:00|一位小时"));
        settings.WriteSetting(memo, QStringLiteral("M4"), QStringLiteral("1|年|13-01|08:00:00|坏日期"));
        settings.WriteSetting(memo, QStringLiteral("M5"), QStringLiteral("0|日|1|08:00:00|关"));
        settings.WriteSetting(memo, QStringLiteral("M6"), QStringLiteral("1|日|1|12:00:00|现在"));
        writeBytes(m_home + QStringLiteral("/M1.rtf"),
                   "{\\rtf1\\ansi\\ansicpg936 \\'bc\\'be\\'b6\\'c8\\par second line\\par}");
        const Run run = cli(home() + QStringList{QStringLiteral("memos"), QStringLiteral("--at"),
                                                 QStringLiteral("2026-12-10 12:00:00")});
        QCOMPARE(run.exitCode, 0);
        const QStringList expected = {
            QStringLiteral("便笺[0]  on  年  02-29  08:00:00  闰日"),
            QStringLiteral("  next: 2028-02-29 08:00:00  (until then: 便笺[0]提醒日期格式错误！请修正！)"),
            QStringLiteral("便笺[1]  on  季  1  09:30:00  季报"),
            QStringLiteral("  next: 2027-01-01 09:30:00"),
            QStringLiteral("  | 季度"),
            QStringLiteral("  | second line"),
            QStringLiteral("便笺[2]  on  周  7  18:00:00  周日"),
            QStringLiteral("  next: 2026-12-13 18:00:00"),
            QStringLiteral(
                "  next: never (the clock shows hh:mm:ss with two digits each; 9:00:00 never equals it)"),
            QStringLiteral("  next: never (便笺[4]提醒日期格式错误！请修正！)"),
            QStringLiteral("  next: never (reminder off)"),
            QStringLiteral("  next: 2026-12-11 12:00:00"), // the second itself has passed
        };
        qsizetype from = 0;
        for (const QString &line : expected) {
            const qsizetype at = run.out.indexOf(line, from);
            QVERIFY2(at >= 0, qPrintable(line + QStringLiteral("\n---\n") + run.out));
            from = at + line.size();
        }
        QCOMPARE(cli(home() +
                     QStringList{QStringLiteral("memos"), QStringLiteral("--at"), QStringLiteral("tomorrow")})
                     .exitCode,
                 2);
    }

    // The next day of a lunar memo comes from its lunar date (key L0..L8):
    // 腊月初一 falls on 2022-12-23 and next on 2024-01-11, while its record
    // alone would say 2023-01-11.
    void memosShowsLunarMemosNextDays() {
        const SettingsFile settings(m_home);
        const QString memo = QStringLiteral("MEMO");
        settings.WriteSetting(memo, QStringLiteral("M7"), QStringLiteral("1|年|01-11|08:00:00|腊月初一"));
        settings.WriteSetting(memo, QStringLiteral("L7"), QStringLiteral("12-01"));
        settings.WriteSetting(memo, QStringLiteral("M8"), QStringLiteral("1|年|05-29|08:00:00|闰四月廿九"));
        settings.WriteSetting(memo, QStringLiteral("L8"), QStringLiteral("闰04-29"));
        const Run run = cli(home() + QStringList{QStringLiteral("memos"), QStringLiteral("--at"),
                                                 QStringLiteral("2022-12-24 12:00:00")});
        QCOMPARE(run.exitCode, 0);
        const QStringList expected = {
            QStringLiteral("便笺[7]  on  年  01-11  08:00:00  腊月初一"),
            QStringLiteral("  lunar: 12-01 (农历腊月初一)"),
            QStringLiteral("  next: 2024-01-11 08:00:00"),
            QStringLiteral("便笺[8]  on  年  05-29  08:00:00  闰四月廿九"),
            QStringLiteral("  lunar: 闰04-29 (农历闰四月廿九)"),
            QStringLiteral("  next: 2023-06-16 08:00:00"), // 2023 has no 闰四月: 四月廿九
        };
        qsizetype from = 0;
        for (const QString &line : expected) {
            const qsizetype at = run.out.indexOf(line, from);
            QVERIFY2(at >= 0, qPrintable(line + QStringLiteral("\n---\n") + run.out));
            from = at + line.size();
        }
    }

    void helpAndUsage() {
        Run run = cli({QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        for (const char *word :
             {"safe encrypt", "safe decrypt", "safe set-key", "pack", "unpack", "--home", "--force"})
            QVERIFY2(run.out.contains(QString::fromLatin1(word)), word);
        run = cli({QStringLiteral("frobnicate")});
        QCOMPARE(run.exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_Cli.moc"
