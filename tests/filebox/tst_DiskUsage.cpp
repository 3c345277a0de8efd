// SPDX-License-Identifier: MIT
#include "filebox/DiskUsage.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class tst_DiskUsage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void texts_data() {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("megabytes");
        QTest::newRow("half a megabyte has its leading zero")
            << quint64(512 * 1024) << QStringLiteral("0.5M");
        QTest::newRow("3 without decimals") << quint64(3 * 1024 * 1024) << QStringLiteral("3M");
        QTest::newRow("12.5") << quint64(12.5 * 1024 * 1024) << QStringLiteral("12.5M");
        QTest::newRow("ties to even: 0.125 is 0.12")
            << quint64(0.125 * 1024 * 1024) << QStringLiteral("0.12M");
        QTest::newRow("ties to even: 0.375 is 0.38")
            << quint64(0.375 * 1024 * 1024) << QStringLiteral("0.38M");
        QTest::newRow("empty") << quint64(0) << QStringLiteral("0M");
    }
    void texts() {
        QFETCH(quint64, bytes);
        QFETCH(QString, megabytes);
        QCOMPARE(DiskUsage::megabytes(bytes), megabytes);
        QCOMPARE(DiskUsage::tileTip(bytes), QStringLiteral("占用：") + megabytes);
    }

    void usageLine() {
        const quint64 gib = 1024ull * 1024 * 1024;
        QCOMPARE(DiskUsage::usageLine(465.76 * gib, 120.33 * gib, quint64(12.5 * 1024 * 1024)),
                 QStringLiteral("[磁盘:465.76G 已用:12.5M 剩余:120.33G]"));
        QCOMPARE(DiskUsage::gigabytes(gib / 2), QStringLiteral("0.5G")); // no repair needed for "G"
    }

    void oneWalkGivesRootAndCategories() {
        QTemporaryDir dir;
        QDir root(dir.path());
        for (const char *folder : {"公文/sub", "保险柜", "other"})
            root.mkpath(QString::fromUtf8(folder));
        writeBytes(dir.filePath(QStringLiteral("公文/a")), QByteArray(1000, 'a'));
        writeBytes(dir.filePath(QStringLiteral("公文/sub/b")), QByteArray(24, 'b'));
        writeBytes(dir.filePath(QStringLiteral("保险柜/c.aes")), QByteArray(16, 'c'));
        writeBytes(dir.filePath(QStringLiteral("other/d")), QByteArray(5, 'd'));
        writeBytes(dir.filePath(QStringLiteral("loose")), QByteArray(7, 'e'));
        // A link loop must not hang the walk, and linked files are not counted twice.
        QFile::link(dir.path(), dir.filePath(QStringLiteral("公文/sub/loop")));
        QFile::link(dir.filePath(QStringLiteral("公文/a")), dir.filePath(QStringLiteral("公文/alias")));
        std::array<QString, 9> captions = {
            QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
            QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
            QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};
        const DiskUsage::TreeSizes sizes = DiskUsage::measure(dir.path(), captions);
        QCOMPARE(sizes.root, quint64(1000 + 24 + 16 + 5 + 7));
        QCOMPARE(sizes.categories[0], quint64(1024));
        QCOMPARE(sizes.categories[8], quint64(16));
        QCOMPARE(sizes.categories[1], quint64(0));
        QCOMPARE(DiskUsage::measure(dir.filePath(QStringLiteral("missing")), captions).root, quint64(0));
    }

    // What the walk counts: apparent sizes, each hard link again, no link
    // followed (a link named as a category included), a file right below the
    // root in the root alone, no pipe; a root given through a link is walked.
    void walkCountsAsTheLineAlwaysHas() {
        QTemporaryDir dir;
        QTemporaryDir outside;
        QDir root(dir.path());
        root.mkpath(QStringLiteral("公文/deep/er"));
        writeBytes(dir.filePath(QStringLiteral("公文/deep/er/a")), QByteArray(300, 'a'));
        QVERIFY(::link(QFile::encodeName(dir.filePath(QStringLiteral("公文/deep/er/a"))).constData(),
                       QFile::encodeName(dir.filePath(QStringLiteral("公文/hard"))).constData()) == 0);
        QFile sparse(dir.filePath(QStringLiteral("公文/sparse")));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(1 << 20));
        sparse.close();
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("公文/pipe"))).constData(), 0600) ==
                0);
        writeBytes(dir.filePath(QStringLiteral("报告")), QByteArray(40, 'r')); // a file named as a category
        writeBytes(outside.filePath(QStringLiteral("big")), QByteArray(5000, 'o'));
        QFile::link(outside.path(), dir.filePath(QStringLiteral("图片")));
        std::array<QString, 9> captions = {
            QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
            QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
            QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};
        const DiskUsage::TreeSizes sizes = DiskUsage::measure(dir.path(), captions);
        QCOMPARE(sizes.categories[0], quint64(300 + 300 + (1 << 20)));
        QCOMPARE(sizes.categories[1], quint64(0));
        QCOMPARE(sizes.categories[3], quint64(0));
        QCOMPARE(sizes.root, quint64(300 + 300 + (1 << 20) + 40));

        const QString linkedRoot = outside.filePath(QStringLiteral("root"));
        QVERIFY(QFile::link(dir.path(), linkedRoot));
        QCOMPARE(DiskUsage::measure(linkedRoot, captions).root, sizes.root);
        QCOMPARE(DiskUsage::itemBytes(dir.filePath(QStringLiteral("公文"))), sizes.categories[0]);
        QCOMPARE(DiskUsage::itemBytes(dir.filePath(QStringLiteral("图片"))), quint64(0));
        QCOMPARE(DiskUsage::itemBytes(dir.filePath(QStringLiteral("报告"))), quint64(40));
    }

    // A cancelled walk stops.
    void cancelledWalkEndsEarly() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("公文"));
        writeBytes(dir.filePath(QStringLiteral("公文/a")), QByteArray(10, 'a'));
        std::array<QString, 9> captions;
        captions[0] = QStringLiteral("公文");
        const std::atomic<bool> cancelled{true};
        QCOMPARE(DiskUsage::measure(dir.path(), captions, &cancelled).root, quint64(0));
    }
};

QTEST_GUILESS_MAIN(tst_DiskUsage)
#include "tst_DiskUsage.moc"
