// SPDX-License-Identifier: MIT
#include "common/AtomicFile.h"
#include "settings/ProfileCache.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {
qint64 systemNanoseconds() {
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The text of a symbolic link, as it was written.
QString readLink(const QString &path) {
    char text[4096];
    const ssize_t size = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
    return size < 0 ? QString() : QFile::decodeName(QByteArray(text, size));
}
} // namespace

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

    void valueThatDidNotDecodeIsNeverReEncoded_data() {
        QTest::addColumn<QByteArray>("stored"); // U_name's bytes
        // "张" in UTF-8: its last byte is a lead byte with nothing to pair with.
        QTest::newRow("UTF-8 of an odd length") << QString(QChar(u'张')).toUtf8();
        QTest::newRow("lead byte before a digit") << QByteArray("\xD5\xC5\x81\x30");
        QTest::newRow("lead byte before a blank") << QByteArray("a\xB9 b");
    }
    void valueThatDidNotDecodeIsNeverReEncoded() {
        QFETCH(QByteArray, stored);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QByteArray file = "[USERINFO]\r\nU_name=" + stored + "\r\nU_pass=\r\n";
        writeBytes(settings.path(), file);
        const QString read = settings.ReadSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name"));

        // Written back as it was read: the bytes stay.
        QString error;
        QVERIFY2(settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name"), read, &error),
                 qPrintable(error));
        QCOMPARE(readBytes(settings.path()), file);
        // The reading says where it could not decode.
        QVERIFY(read.contains(QChar::ReplacementCharacter));

        // A value made from it would lose those bytes: refused, saying which value.
        QVERIFY(!settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name"),
                                       read + QStringLiteral("x"), &error));
        QVERIFY2(error.contains(QStringLiteral("U_name")) && error.contains(settings.path()),
                 qPrintable(error));
        QCOMPARE(readBytes(settings.path()), file);

        // Other values and a new name are written as ever.
        QVERIFY(
            settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_pass"), QStringLiteral("p")));
        QVERIFY(settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name"),
                                      QStringLiteral("李四")));
        QCOMPARE(readBytes(settings.path()),
                 QByteArray("[USERINFO]\r\nU_name=") + gbk(QStringLiteral("李四")) + "\r\nU_pass=p\r\n");
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

    void handEditOfTheSameSizeIsSeenAndParsedOnce_data() {
        QTest::addColumn<qint64>("readLater"); // nanoseconds the cache's clock runs ahead
        QTest::newRow("file just written") << qint64(0);
        // Long after the last change, the file's times alone must tell.
        QTest::newRow("file written long before") << qint64(3600) * 1'000'000'000;
    }
    void handEditOfTheSameSizeIsSeenAndParsedOnce() {
        QFETCH(qint64, readLater);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setup.ini"));
        ProfileCache cache([readLater] { return systemNanoseconds() + readLater; });
        const auto read = [&] {
            const ProfileCache::Loaded file = cache.load(path);
            return file.profile ? file.profile->value("A", "k").value_or("?") : QByteArray("none");
        };
        QCOMPARE(read(), QByteArray("none"));
        writeBytes(path, "[A]\r\nk=1\r\n");
        QCOMPARE(read(), QByteArray("1"));
        QCOMPARE(read(), QByteArray("1"));
        QCOMPARE(cache.parses(), 1u);

        // In place, same size and inode, within the same second; a timestamp
        // tick later, as any edit made long after the file's last change is.
        QTest::qWait(20);
        writeBytes(path, "[A]\r\nk=2\r\n");
        QCOMPARE(read(), QByteArray("2"));
        QCOMPARE(read(), QByteArray("2"));
        QCOMPARE(cache.parses(), 2u);

        // Replaced by another file of the same size.
        QVERIFY(writeFileAtomically(path, "[A]\r\nk=3\r\n"));
        QCOMPARE(read(), QByteArray("3"));
        QVERIFY(QFile::remove(path));
        QCOMPARE(read(), QByteArray("none"));
    }

    void readsAfterOurOwnWriteParseNothing() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        QVERIFY(settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("1")));
        QVERIFY(settings.WriteSetting(QStringLiteral("A"), QStringLiteral("j"), QStringLiteral("2")));
        const quint64 parsed = ProfileCache::shared().parses();
        QCOMPARE(settings.ReadSetting(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("1"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("A"), QStringLiteral("j")), QStringLiteral("2"));
        QCOMPARE(SettingsFile(dir.path()).ReadSetting(QStringLiteral("A"), QStringLiteral("k")),
                 QStringLiteral("1"));
        QCOMPARE(ProfileCache::shared().parses(), parsed);
    }

    void linkedFileIsWrittenWhereTheLinkPoints_data() {
        QTest::addColumn<QString>("linkText"); // "@" is the temporary folder
        QTest::addColumn<QString>("real");     // the file the value lands in, relative to it
        QTest::newRow("relative link")
            << QStringLiteral("real/profile.ini") << QStringLiteral("real/profile.ini");
        QTest::newRow("absolute link")
            << QStringLiteral("@/real/profile.ini") << QStringLiteral("real/profile.ini");
        QTest::newRow("link to a link")
            << QStringLiteral("real/hop.ini") << QStringLiteral("real/profile.ini");
        QTest::newRow("link to nothing yet")
            << QStringLiteral("real/new.ini") << QStringLiteral("real/new.ini");
    }
    void linkedFileIsWrittenWhereTheLinkPoints() {
        QFETCH(QString, linkText);
        QFETCH(QString, real);
        QTemporaryDir dir;
        linkText.replace(u'@', dir.path());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
        writeBytes(dir.filePath(QStringLiteral("real/profile.ini")), "[A]\r\nk=old\r\n");
        // A relative link is read from the folder it is in, as the system does.
        QVERIFY(::symlink("profile.ini",
                          QFile::encodeName(dir.filePath(QStringLiteral("real/hop.ini"))).constData()) == 0);
        const SettingsFile settings(dir.path());
        QVERIFY(::symlink(QFile::encodeName(linkText).constData(),
                          QFile::encodeName(settings.path()).constData()) == 0);

        QString error;
        QVERIFY2(
            settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("new"), &error),
            qPrintable(error));
        QCOMPARE(readLink(settings.path()), linkText);
        QCOMPARE(readLink(dir.filePath(QStringLiteral("real/hop.ini"))), QStringLiteral("profile.ini"));
        QVERIFY(readBytes(dir.filePath(real)).contains("k=new\r\n"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("new"));
        // Nothing is left beside the link or the file.
        QStringList files{QStringLiteral("hop.ini"), QStringLiteral("profile.ini")};
        if (!files.contains(QFileInfo(real).fileName())) {
            files.append(QFileInfo(real).fileName());
            files.sort();
        }
        QCOMPARE(QDir(dir.filePath(QStringLiteral("real")))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 files);
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            (QStringList{QStringLiteral("real"), QStringLiteral("setup.ini")}));
    }

    void fileWithoutWritePermissionIsLeftAsItIs_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("written");
        QTest::newRow("read-only for all") << 0444 << false;
        QTest::newRow("readable by its owner alone") << 0400 << false;
        QTest::newRow("writable by its owner") << 0644 << true;
    }
    void fileWithoutWritePermissionIsLeftAsItIs() {
        QFETCH(int, mode);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QByteArray before = "[A]\r\nk=old\r\n";
        writeBytes(settings.path(), before);
        QCOMPARE(::chmod(QFile::encodeName(settings.path()).constData(), mode_t(mode)), 0);

        QString error;
        QCOMPARE(
            settings.WriteSetting(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("new"), &error),
            written);
        QCOMPARE(readBytes(settings.path()) == before, !written);
        if (!written)
            QVERIFY2(error.contains(settings.path()) && error.contains(QStringLiteral("只读")),
                     qPrintable(error));
        struct stat after = {};
        QCOMPARE(::stat(QFile::encodeName(settings.path()).constData(), &after), 0);
        QCOMPARE(int(after.st_mode & 07777), mode);
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_SettingsFile.moc"
