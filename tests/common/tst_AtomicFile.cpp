// SPDX-License-Identifier: MIT
#include "common/AtomicFile.h"

#include "SmallTmpfs.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char kNamedOnly[] = "TACKORA_NAMED_TEMPORARIES";

// Every entry of folder but the target, hidden ones and folders too.
QStringList besideTarget(const QString &folder) {
    QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    entries.removeAll(QStringLiteral("target.bin"));
    return entries;
}

// Sets the modification time of path (not of what a link points to) to
// seconds ago.
void makeOlder(const QString &path, int seconds) {
    timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = ::time(nullptr) - seconds;
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

} // namespace

class tst_AtomicFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { qunsetenv(kNamedOnly); }

    void temporaryKinds_data() {
        QTest::addColumn<bool>("named");
        QTest::newRow("unnamed temporary file") << false;
        QTest::newRow("named temporary file, as without O_TMPFILE") << true;
    }

    void killedWriterLeavesNothingThatStays_data() { temporaryKinds_data(); }
    void killedWriterLeavesNothingThatStays() {
        QFETCH(bool, named);
        if (named)
            qputenv(kNamedOnly, "1");
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target.bin"));
        writeBytes(target, "old");

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            AtomicFileWriter writer(target);
            if (writer.open() && writer.write(QByteArray(1024 * 1024, 'x')))
                ::kill(::getpid(), SIGKILL);
            ::_exit(1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, "the writer did not get to write");
        QCOMPARE(readBytes(target), QByteArray("old"));
        if (!named)
            QCOMPARE(besideTarget(dir.path()), QStringList());

        // Time passes; the next write into the folder removes what the kill left.
        for (const QString &name : besideTarget(dir.path()))
            makeOlder(dir.filePath(name), 3600);
        QVERIFY(writeFileAtomically(target, "new"));
        QCOMPARE(besideTarget(dir.path()), QStringList());
        QCOMPARE(readBytes(target), QByteArray("new"));
    }

    void onlyStaleTemporariesOfOursAreRemoved_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // "file", "folder" or "link"
        QTest::addColumn<int>("age");      // seconds since it was last written
        QTest::addColumn<bool>("locked");  // held by a live writer
        QTest::addColumn<bool>("removed");
        const QString ours = QStringLiteral(".tackora-Ab3dEf7hIj0K.part");
        QTest::newRow("ours, writer gone") << ours << "file" << 3600 << false << true;
        QTest::newRow("ours, writer alive") << ours << "file" << 3600 << true << false;
        QTest::newRow("ours, just made") << ours << "file" << 0 << false << false;
        QTest::newRow("ours, a folder") << ours << "folder" << 3600 << false << false;
        QTest::newRow("ours, a link") << ours << "link" << 3600 << false << false;
        QTest::newRow("random part too short")
            << QStringLiteral(".tackora-Ab3dEf.part") << "file" << 3600 << false << false;
        QTest::newRow("not a name of ours")
            << QStringLiteral("target.bin.Ab3dEf") << "file" << 3600 << false << false;
    }
    void onlyStaleTemporariesOfOursAreRemoved() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(int, age);
        QFETCH(bool, locked);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (kind == u"folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind == u"link")
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), path));
        else
            writeBytes(path, "left by a writer");
        int lock = -1;
        const auto unlock = qScopeGuard([&] {
            if (lock >= 0)
                ::close(lock);
        });
        if (locked) {
            lock = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
            QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
        }
        makeOlder(path, age);

        QVERIFY(writeFileAtomically(dir.filePath(QStringLiteral("target.bin")), "data"));
        QCOMPARE(besideTarget(dir.path()), removed ? QStringList() : QStringList{name});
    }

    void failedWriteKeepsTheTargetAndLeavesNothing_data() { temporaryKinds_data(); }
    void failedWriteKeepsTheTargetAndLeavesNothing() {
        QFETCH(bool, named);
        if (named)
            qputenv(kNamedOnly, "1");
        // A full filesystem: a 1 MiB tmpfs, which only root may mount.
        QTemporaryDir small;
        const SmallTmpfs disk(small.path());
        if (!disk.mounted())
            QSKIP(disk.why());
        const QString target = small.path() + QStringLiteral("/target.bin");
        writeBytes(target, "old");
        {
            AtomicFileWriter writer(target);
            QVERIFY(writer.open());
            QVERIFY(!writer.write(QByteArray(2 * 1024 * 1024, 'x')));
            QVERIFY2(writer.errorString().contains(target), qPrintable(writer.errorString()));
        }
        QCOMPARE(readBytes(target), QByteArray("old"));
        QCOMPARE(besideTarget(small.path()), QStringList());
    }

    void replacedFileKeepsItsModeAndNewFileIsPrivate_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<int>("oldMode"); // -1: no old file
        QTest::addColumn<int>("newMode");
        QTest::newRow("new file") << false << -1 << 0600;
        QTest::newRow("new file, named temporary") << true << -1 << 0600;
        QTest::newRow("replaced file") << false << 0640 << 0640;
        QTest::newRow("replaced file, named temporary") << true << 0664 << 0664;
    }
    void replacedFileKeepsItsModeAndNewFileIsPrivate() {
        QFETCH(bool, named);
        QFETCH(int, oldMode);
        QFETCH(int, newMode);
        if (named)
            qputenv(kNamedOnly, "1");
        QTemporaryDir dir;
        const QByteArray target = QFile::encodeName(dir.filePath(QStringLiteral("target.bin")));
        if (oldMode >= 0) {
            writeBytes(dir.filePath(QStringLiteral("target.bin")), "old");
            QCOMPARE(::chmod(target.constData(), mode_t(oldMode)), 0);
        }
        QVERIFY(writeFileAtomically(QFile::decodeName(target), "new"));
        struct stat written = {};
        QCOMPARE(::stat(target.constData(), &written), 0);
        QCOMPARE(int(written.st_mode & 07777), newMode);
        QCOMPARE(besideTarget(dir.path()), QStringList());
    }

    void replaceThatFailsSaysWhyAndLeavesNothing_data() { temporaryKinds_data(); }
    void replaceThatFailsSaysWhyAndLeavesNothing() {
        QFETCH(bool, named);
        if (named)
            qputenv(kNamedOnly, "1");
        QTemporaryDir dir;
        // A folder with something in it stands where the file should go.
        const QString target = dir.filePath(QStringLiteral("target.bin"));
        QVERIFY(QDir().mkpath(target + QStringLiteral("/inside")));
        QString error;
        QVERIFY(!writeFileAtomically(target, "new", &error));
        QVERIFY2(error.contains(target), qPrintable(error));
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("inside")});
        QCOMPARE(besideTarget(dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_AtomicFile)
#include "tst_AtomicFile.moc"
