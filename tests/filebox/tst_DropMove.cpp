// SPDX-License-Identifier: MIT
#include "filebox/DropMove.h"

#include "DropTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

using DropMove::Result;

namespace {
// The move as on a filesystem without unnamed temporary files (or not),
// while it lives.
class NamedTemporaries final {
public:
    explicit NamedTemporaries(bool on)
        : m_before(qgetenv(kName)) {
        if (on)
            qputenv(kName, "1");
        else
            qunsetenv(kName);
    }
    ~NamedTemporaries() {
        if (m_before.isNull())
            qunsetenv(kName);
        else
            qputenv(kName, m_before);
    }
    NamedTemporaries(const NamedTemporaries &) = delete;
    NamedTemporaries &operator=(const NamedTemporaries &) = delete;

private:
    static constexpr const char *kName = "TACKORA_NAMED_TEMPORARIES";
    QByteArray m_before;
};

// A read-only item is copied, never renamed: the path a move across
// filesystems takes, on one filesystem.
QString readOnlyFile(const QString &path, const QByteArray &content) {
    writeBytes(path, content);
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    return path;
}
} // namespace

class tst_DropMove : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusals_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("safe");
        QTest::newRow("drive root") << QStringLiteral("c:\\") << true << true;
        QTest::newRow("filesystem root") << QStringLiteral("/") << true << true;
        QTest::newRow("trailing separator") << QStringLiteral("/home/me/docs/") << true << true;
        QTest::newRow("System Notes") << QStringLiteral("/data/Work/System Notes.txt") << true << false;
        QTest::newRow("mysystem anywhere") << QStringLiteral("/data/mysystem/a.txt") << true << false;
        QTest::newRow("windows") << QStringLiteral("/mnt/c/WINDOWS/x") << true << false;
        QTest::newRow("program files") << QStringLiteral("/mnt/c/Program Files/x") << true << false;
        QTest::newRow("ordinary") << QStringLiteral("/data/report.doc") << false << false;
    }
    void refusals() {
        QFETCH(QString, path);
        QFETCH(bool, move);
        QFETCH(bool, safe);
        QCOMPARE(DropMove::isRefusedForMove(path), move);
        QCOMPARE(DropMove::isRefusedForSafe(path), safe);
    }

    void fileMovesAndReplacesAClash() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("box"));
        const QString source = dir.filePath(QStringLiteral("a.txt"));
        writeBytes(source, "new");
        writeBytes(dir.filePath(QStringLiteral("box/a.txt")), "old and longer");
        QCOMPARE(DropMove::moveIntoFolder(source, dir.filePath(QStringLiteral("box"))), Result::Moved);
        QVERIFY(!QFileInfo::exists(source));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("box/a.txt"))), QByteArray("new"));
    }

    void readOnlySourceIsCopiedAndStays() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("box"));
        const QString source = dir.filePath(QStringLiteral("ro.txt"));
        writeBytes(source, "keep");
        QFile::setPermissions(source, QFileDevice::ReadOwner);
        QCOMPARE(DropMove::moveIntoFolder(source, dir.filePath(QStringLiteral("box"))), Result::CopiedKept);
        QCOMPARE(readBytes(source), QByteArray("keep"));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("box/ro.txt"))), QByteArray("keep"));
    }

    void folderMovesWholeAndMergesIntoAnExistingOne() {
        QTemporaryDir dir;
        QDir root(dir.path());
        root.mkpath(QStringLiteral("box/proj"));
        root.mkpath(QStringLiteral("proj/deep"));
        writeBytes(dir.filePath(QStringLiteral("proj/deep/x")), "x");
        writeBytes(dir.filePath(QStringLiteral("proj/y")), "new y");
        writeBytes(dir.filePath(QStringLiteral("box/proj/y")), "old y");
        writeBytes(dir.filePath(QStringLiteral("box/proj/z")), "z stays");
        QCOMPARE(DropMove::moveIntoFolder(dir.filePath(QStringLiteral("proj")),
                                          dir.filePath(QStringLiteral("box"))),
                 Result::Moved);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("proj"))));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("box/proj/deep/x"))), QByteArray("x"));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("box/proj/y"))), QByteArray("new y"));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("box/proj/z"))), QByteArray("z stays"));
    }

    void failedMoveLosesNothing() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("a.txt"));
        writeBytes(source, "data");
        DropMove::Report report;
        QCOMPARE(DropMove::moveIntoFolder(source, dir.filePath(QStringLiteral("no/such/box")), &report),
                 Result::Failed);
        QCOMPARE(readBytes(source), QByteArray("data"));
        QCOMPARE(report.failedStep, DropMove::Step::Missing);
        QCOMPARE(report.failedPath, dir.filePath(QStringLiteral("no/such/box")));
        QCOMPARE(DropMove::moveIntoFolder(dir.filePath(QStringLiteral("vanished")), dir.path(), &report),
                 Result::Failed);
        QCOMPARE(report.failedStep, DropMove::Step::Missing);
        QCOMPARE(report.errorCode, ENOENT);
    }

    void copyThatFailsHalfWayLeavesTheSourceWhole() {
        // A full filesystem: a 1 MiB tmpfs, which only root may mount.
        QTemporaryDir small;
        const SmallTmpfs disk(small.path());
        if (!disk.mounted())
            QSKIP(disk.why());

        QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/drop-XXXXXX")); // not on the tmpfs
        const QString file = dir.filePath(QStringLiteral("big.bin"));
        const QByteArray content(2 * 1024 * 1024, 'x');
        writeBytes(file, content);
        QCOMPARE(DropMove::moveIntoFolder(file, small.path()), Result::Failed);
        QCOMPARE(readBytes(file), content);
        QVERIFY(QDir(small.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // no part left

        const QString folder = dir.filePath(QStringLiteral("tree"));
        QDir().mkpath(folder + QStringLiteral("/sub"));
        writeBytes(folder + QStringLiteral("/a.bin"), QByteArray(600 * 1024, 'a'));
        writeBytes(folder + QStringLiteral("/sub/b.bin"), QByteArray(600 * 1024, 'b'));
        DropMove::Report report;
        QCOMPARE(DropMove::moveIntoFolder(folder, small.path(), &report), Result::Failed);
        QVERIFY(report.diskFull());
        QCOMPARE(readBytes(folder + QStringLiteral("/a.bin")).size(), 600 * 1024);
        QCOMPARE(readBytes(folder + QStringLiteral("/sub/b.bin")).size(), 600 * 1024);
        QCOMPARE(entriesUnder(small.path()), QStringList()); // nor the file that did fit
    }

    void aPipeThatWouldHaveToBeReadIsRefused() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("box"));
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QVERIFY(makePipe(pipe));
        QFile::setPermissions(pipe, QFileDevice::ReadOwner);
        const PipeUnblocker unblocker(pipe);
        DropMove::Report report;
        QCOMPARE(DropMove::moveIntoFolder(pipe, dir.filePath(QStringLiteral("box")), &report),
                 Result::Failed);
        QCOMPARE(report.failedStep, DropMove::Step::NotAFile);
        QVERIFY(!unblocker.fired()); // nothing waited for a writer
        QVERIFY(isPipe(pipe));
        QCOMPARE(entriesUnder(dir.filePath(QStringLiteral("box"))), QStringList());
    }

    void aPipeIsRenamedOnOneFilesystem() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("box"));
        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QVERIFY(makePipe(pipe));
        QCOMPARE(DropMove::moveIntoFolder(pipe, dir.filePath(QStringLiteral("box"))), Result::Moved);
        QVERIFY(isPipe(dir.filePath(QStringLiteral("box/pipe"))));
        QVERIFY(!QFileInfo::exists(pipe));
    }

    void aKilledCopyLeavesNoFileThatStays_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<bool>("folder");
        for (const bool named : {false, true}) {
            const QString mode = named ? QStringLiteral(", named temporary") : QString();
            QTest::newRow(qPrintable(QStringLiteral("a file") + mode)) << named << false;
            QTest::newRow(qPrintable(QStringLiteral("a folder") + mode)) << named << true;
        }
    }
    void aKilledCopyLeavesNoFileThatStays() {
        QFETCH(bool, named);
        QFETCH(bool, folder);
        const NamedTemporaries mode(named);
        QTemporaryDir dir;
        const QString box = dir.filePath(QStringLiteral("box"));
        QDir().mkpath(box);
        QString source = dir.filePath(QStringLiteral("a.bin"));
        if (folder) {
            source = dir.filePath(QStringLiteral("proj"));
            QDir().mkpath(source);
            writeBytes(source + QStringLiteral("/a.bin"), QByteArray(3 << 20, 'a'));
            writeBytes(source + QStringLiteral("/c.bin"), QByteArray(3 << 20, 'c'));
            QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        } else {
            readOnlyFile(source, QByteArray(3 << 20, 'a'));
        }
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Killed once the first bytes are written.
            DropMove::moveIntoFolder(source, box, nullptr,
                                     [](std::uint64_t, std::uint64_t) { ::kill(::getpid(), SIGKILL); });
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QStringList left = entriesUnder(box);
        QVERIFY(!left.contains(QFileInfo(source).fileName())); // no partial target
        if (!named && !folder)
            QCOMPARE(left, QStringList());

        // An hour later the next move into the folder clears what a kill left.
        for (const QString &name : left) {
            const timespec times[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(box + u'/' + name).constData(), times,
                                 AT_SYMLINK_NOFOLLOW),
                     0);
        }
        const QString next = readOnlyFile(dir.filePath(QStringLiteral("b.bin")), "b");
        QCOMPARE(DropMove::moveIntoFolder(next, box), Result::CopiedKept);
        QCOMPARE(entriesUnder(box), QStringList{QStringLiteral("b.bin")});
    }

    void partsOfMovesUnderWayStay_data() {
        QTest::addColumn<bool>("held");
        QTest::addColumn<int>("ageSeconds");
        QTest::newRow("held by a move") << true << 3600;
        QTest::newRow("just written") << false << 0;
    }
    void partsOfMovesUnderWayStay() {
        QFETCH(bool, held);
        QFETCH(int, ageSeconds);
        QTemporaryDir dir;
        const QString box = dir.filePath(QStringLiteral("box"));
        QDir().mkpath(box);
        const QString part = box + QStringLiteral("/.tackora-part-0123456789abcdef");
        writeBytes(part, "under way");
        QFile file(part);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (held)
            QCOMPARE(::flock(file.handle(), LOCK_EX), 0);
        const timespec times[2] = {{::time(nullptr) - ageSeconds, 0}, {::time(nullptr) - ageSeconds, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(part).constData(), times, 0), 0);
        const QString source = readOnlyFile(dir.filePath(QStringLiteral("a.txt")), "a");
        QCOMPARE(DropMove::moveIntoFolder(source, box), Result::CopiedKept);
        QCOMPARE(readBytes(part), QByteArray("under way"));
    }

    void aLinkIsMovedAsALink() {
        QTemporaryDir dir;
        const QString box = dir.filePath(QStringLiteral("box"));
        const SmallTmpfs other(box); // another filesystem: the link cannot be renamed there
        if (!other.mounted())
            QSKIP(other.why());
        const QString link = dir.filePath(QStringLiteral("link"));
        writeBytes(dir.filePath(QStringLiteral("a.txt")), "a");
        QVERIFY(QFile::link(QStringLiteral("a.txt"), link));
        QCOMPARE(DropMove::moveIntoFolder(link, box), Result::Moved);
        QCOMPARE(linkText(box + QStringLiteral("/link")), QByteArray("a.txt"));
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("a.txt"))), QByteArray("a"));
    }

    void noTemporaryIsWrittenThroughALink_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("named");
        for (const bool named : {false, true}) {
            const QString mode = named ? QStringLiteral(", named temporary") : QString();
            QTest::newRow(qPrintable(QStringLiteral("the old part name") + mode))
                << QStringLiteral("a.txt.tackora-part") << named;
            QTest::newRow(qPrintable(QStringLiteral("the target") + mode))
                << QStringLiteral("a.txt") << named;
        }
    }
    void noTemporaryIsWrittenThroughALink() {
        QFETCH(QString, planted);
        QFETCH(bool, named);
        const NamedTemporaries mode(named);
        QTemporaryDir dir;
        const QString box = dir.filePath(QStringLiteral("box"));
        QDir().mkpath(box);
        const QString outside = dir.filePath(QStringLiteral("outside.txt"));
        writeBytes(outside, "outside");
        QVERIFY(QFile::link(outside, box + u'/' + planted));
        const QString source = readOnlyFile(dir.filePath(QStringLiteral("a.txt")), "new");
        QCOMPARE(DropMove::moveIntoFolder(source, box), Result::CopiedKept);
        QCOMPARE(readBytes(outside), QByteArray("outside"));
        QVERIFY(!QFileInfo(box + QStringLiteral("/a.txt")).isSymLink());
        QCOMPARE(readBytes(box + QStringLiteral("/a.txt")), QByteArray("new"));
    }

    void aFolderIsNotMergedThroughALink() {
        QTemporaryDir dir;
        QDir root(dir.path());
        root.mkpath(QStringLiteral("box"));
        root.mkpath(QStringLiteral("outside"));
        root.mkpath(QStringLiteral("proj"));
        writeBytes(dir.filePath(QStringLiteral("outside/keep.txt")), "keep");
        writeBytes(dir.filePath(QStringLiteral("proj/x.txt")), "x");
        QVERIFY(
            QFile::link(dir.filePath(QStringLiteral("outside")), dir.filePath(QStringLiteral("box/proj"))));
        DropMove::Report report;
        QCOMPARE(DropMove::moveIntoFolder(dir.filePath(QStringLiteral("proj")),
                                          dir.filePath(QStringLiteral("box")), &report),
                 Result::Failed);
        QCOMPARE(report.failedStep, DropMove::Step::CreateFolder);
        QCOMPARE(entriesUnder(dir.filePath(QStringLiteral("outside"))),
                 QStringList{QStringLiteral("keep.txt")});
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("proj/x.txt"))), QByteArray("x"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("box/proj"))).isSymLink());
    }
};

QTEST_GUILESS_MAIN(tst_DropMove)
#include "tst_DropMove.moc"
