// SPDX-License-Identifier: MIT
#include "filebox/DiskUsage.h"
#include "filebox/DiskUsageRefresher.h"

#include "TestSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {
const std::array<QString, 9> kCaptions = {
    QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
    QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
    QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};

// A box with bytes in category index's folder.
struct Box {
    explicit Box(int index, qsizetype bytes) {
        QDir(dir.path()).mkpath(kCaptions[index]);
        writeBytes(dir.filePath(kCaptions[index] + QStringLiteral("/f")), QByteArray(bytes, 'x'));
    }
    QTemporaryDir dir;
};

// The "已用" figure of a usage line.
QString used(const QString &line) {
    const qsizetype from = line.indexOf(QStringLiteral("已用:")) + 3;
    return line.mid(from, line.indexOf(u' ', from) - from);
}
} // namespace

class tst_DiskUsageRefresher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The walk's result arrives on the refresher's own thread, in a queued
    // call: nothing of the window is touched from the worker.
    void walkResultArrivesOnTheOwnersThread() {
        Box box(3, 3 * 1024 * 1024);
        DiskUsageRefresher refresher;
        QThread *deliveredOn = nullptr;
        connect(
            &refresher, &DiskUsageRefresher::changed, this,
            [&deliveredOn] { deliveredOn = QThread::currentThread(); }, Qt::DirectConnection);
        QSignalSpy changed(&refresher, &DiskUsageRefresher::changed);
        refresher.addEstimate(3, 1); // nothing known to add it to yet
        refresher.refresh(box.dir.path(), kCaptions);
        QCOMPARE(changed.size(), 0); // never inside the call
        QVERIFY(changed.wait(5000));
        QCOMPARE(deliveredOn, QThread::currentThread());
        QCOMPARE(used(changed[0][0].toString()), QStringLiteral("3M"));
        const auto tips = changed[0][1].value<std::array<QString, 9>>();
        QCOMPARE(tips[3], QStringLiteral("占用：3M"));
        QCOMPARE(tips[0], QStringLiteral("占用：0M"));
    }

    // A drop's bytes show at once in the line and in the tile's tip; the walk
    // started after it replaces the estimate with what is on disk.
    void dropEstimateShowsAtOnceThenTheWalkReplacesIt() {
        Box box(3, 1024 * 1024);
        DiskUsageRefresher refresher;
        QSignalSpy changed(&refresher, &DiskUsageRefresher::changed);
        refresher.refresh(box.dir.path(), kCaptions);
        QVERIFY(changed.wait(5000));

        // What the drop moved is there, plus a file the estimate cannot know of.
        writeBytes(box.dir.filePath(kCaptions[3] + QStringLiteral("/dropped")), QByteArray(512 * 1024, 'd'));
        QVERIFY(QDir(box.dir.path()).mkpath(kCaptions[0]));
        writeBytes(box.dir.filePath(kCaptions[0] + QStringLiteral("/elsewhere")),
                   QByteArray(2 * 1024 * 1024, 'e'));
        changed.clear();
        refresher.addEstimate(3, 512 * 1024);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(used(changed[0][0].toString()), QStringLiteral("1.5M"));
        auto tips = changed[0][1].value<std::array<QString, 9>>();
        QCOMPARE(tips[3], QStringLiteral("占用：1.5M"));
        QCOMPARE(tips[0], QStringLiteral("占用：0M"));

        refresher.refresh(box.dir.path(), kCaptions);
        QVERIFY(changed.wait(5000));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(used(changed[1][0].toString()), QStringLiteral("3.5M"));
        tips = changed[1][1].value<std::array<QString, 9>>();
        QCOMPARE(tips[0], QStringLiteral("占用：2M"));
        QCOMPARE(tips[3], QStringLiteral("占用：1.5M"));
    }

    // A newer walk supersedes an older one: only the newer's result is shown.
    void newerWalkSupersedesAnOlderOne() {
        Box older(0, 1024 * 1024);
        Box newer(1, 2 * 1024 * 1024);
        DiskUsageRefresher refresher;
        QSignalSpy changed(&refresher, &DiskUsageRefresher::changed);
        refresher.refresh(older.dir.path(), kCaptions);
        refresher.refresh(newer.dir.path(), kCaptions);
        QVERIFY(changed.wait(5000));
        QTest::qWait(100); // the older walk, had it been delivered, would be by now
        QCOMPARE(changed.size(), 1);
        QCOMPARE(used(changed[0][0].toString()), QStringLiteral("2M"));
        QCOMPARE(refresher.sizes().categories[1], quint64(2 * 1024 * 1024));
        QCOMPARE(refresher.sizes().categories[0], quint64(0));
    }

    // A refresher ended while its walk runs waits for it and delivers nothing.
    void endingDuringAWalkIsClean() {
        Box box(2, 1024);
        auto refresher = std::make_unique<DiskUsageRefresher>();
        refresher->refresh(box.dir.path(), kCaptions);
        refresher.reset();
        QTest::qWait(50);
    }
};

QTEST_GUILESS_MAIN(tst_DiskUsageRefresher)
#include "tst_DiskUsageRefresher.moc"
