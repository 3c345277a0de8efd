// SPDX-License-Identifier: MIT
// Where the parts are found in a portable copy and in an installed prefix.
#include "common/InstallLayout.h"

#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_InstallLayout : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

    QString path(const QString &relative) const { return m_root.filePath(relative); }
    void touch(const QString &relative) {
        QVERIFY(QDir().mkpath(QFileInfo(path(relative)).absolutePath()));
        writeBytes(path(relative), "x");
    }

private Q_SLOTS:
    void initTestCase() {
        // A prefix: bin/, lib/tackora/, share/tackora/; a portable copy: one folder.
        touch(QStringLiteral("usr/bin/tackora"));
        touch(QStringLiteral("usr/lib/tackora/libtackora_sound.so"));
        touch(QStringLiteral("usr/share/tackora/wnl.dat"));
        touch(QStringLiteral("usr/share/tackora/help.txt"));
        touch(QStringLiteral("portable/tackora"));
        touch(QStringLiteral("portable/libtackora_sound.so"));
        touch(QStringLiteral("portable/help.txt"));
        touch(QStringLiteral("home/help.txt"));
        qputenv("XDG_DATA_HOME", path(QStringLiteral("xdg")).toUtf8());
    }

    void modulesBesideTheExecutableWin() {
        QCOMPARE(InstallLayout::modulePath(path(QStringLiteral("portable")),
                                           QStringLiteral("libtackora_sound.so")),
                 path(QStringLiteral("portable/libtackora_sound.so")));
        QCOMPARE(
            InstallLayout::modulePath(path(QStringLiteral("usr/bin")), QStringLiteral("libtackora_sound.so")),
            path(QStringLiteral("usr/lib/tackora/libtackora_sound.so")));
    }

    void sharedFiles_data() {
        QTest::addColumn<QString>("appFolder");
        QTest::addColumn<QString>("executableFolder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        QTest::newRow("program folder's own copy") << "home"
                                                   << "usr/bin"
                                                   << "help.txt"
                                                   << "home/help.txt";
        QTest::newRow("beside a portable executable") << "empty"
                                                      << "portable"
                                                      << "help.txt"
                                                      << "portable/help.txt";
        QTest::newRow("installed") << "empty"
                                   << "usr/bin"
                                   << "wnl.dat"
                                   << "usr/share/tackora/wnl.dat";
        QTest::newRow("nowhere: the program folder's name") << "home"
                                                            << "portable"
                                                            << "wnl.dat"
                                                            << "home/wnl.dat";
    }
    void sharedFiles() {
        QFETCH(QString, appFolder);
        QFETCH(QString, executableFolder);
        QFETCH(QString, name);
        QFETCH(QString, found);
        QCOMPARE(
            QDir::cleanPath(InstallLayout::sharedFile(path(appFolder) + u'/', path(executableFolder), name)),
            path(found));
    }

    void programFolderIsPortableOnlyOutsideAnInstall_data() {
        QTest::addColumn<QString>("executableFolder");
        QTest::addColumn<QString>("programFolder");
        QTest::newRow("portable copy") << "portable"
                                       << "portable";
        // Even root, who may write into the prefix, keeps its files in its home.
        QTest::newRow("installed prefix") << "usr/bin"
                                          << "xdg/tackora";
        QTest::newRow("folder that cannot be written") << "missing"
                                                       << "xdg/tackora";
    }
    void programFolderIsPortableOnlyOutsideAnInstall() {
        QFETCH(QString, executableFolder);
        QFETCH(QString, programFolder);
        QCOMPARE(InstallLayout::defaultProgramFolder(path(executableFolder)), path(programFolder));
    }
};

QTEST_GUILESS_MAIN(tst_InstallLayout)
#include "tst_InstallLayout.moc"
