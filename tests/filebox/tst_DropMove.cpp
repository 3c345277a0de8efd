// SPDX-License-Identifier: MIT
#include "filebox/DropMove.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using DropMove::Result;

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
        QString error;
        QCOMPARE(DropMove::moveIntoFolder(source, dir.filePath(QStringLiteral("no/such/box")), &error),
                 Result::Failed);
        QCOMPARE(readBytes(source), QByteArray("data"));
        QCOMPARE(DropMove::moveIntoFolder(dir.filePath(QStringLiteral("vanished")), dir.path()),
                 Result::Failed);
        QVERIFY(!error.isEmpty());
    }

    void copyThatFailsHalfWayLeavesTheSourceWhole() {
        // A full filesystem: a 1 MiB tmpfs, which only root may mount.
        QTemporaryDir small;
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=1m"), QStringLiteral("tmpfs"), small.path()});
        if (!mount.waitForFinished() || mount.exitCode() != 0)
            QSKIP("cannot mount a small tmpfs here");
        const auto unmount =
            qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {small.path()}); });

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
        QCOMPARE(DropMove::moveIntoFolder(folder, small.path()), Result::Failed);
        QCOMPARE(readBytes(folder + QStringLiteral("/a.bin")).size(), 600 * 1024);
        QCOMPARE(readBytes(folder + QStringLiteral("/sub/b.bin")).size(), 600 * 1024);
    }
};

QTEST_GUILESS_MAIN(tst_DropMove)
#include "tst_DropMove.moc"
