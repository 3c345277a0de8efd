// SPDX-License-Identifier: MIT
// The file box's work inside the running program, for filebox.sh to set
// beside the shell tools on the same files:
//   filebox_bench drop <item> <category folder>   one drop of one item on an ordinary tile
//   filebox_bench usage <root> <runs>             the disk-usage walk, best of runs
//   filebox_bench boxdrop <item> <root> <runs>    one small file dropped on the first tile of the
//                                                 box at root: the drop's end on the window's
//                                                 thread (moved, figures estimated, walk started),
//                                                 then the walk's figures shown; medians
// Each prints the wall time in microseconds.
#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "filebox/DiskUsage.h"
#include "filebox/DiskUsageRefresher.h"
#include "filebox/DropHandler.h"
#include "platform/UserDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <algorithm>

#include <cstdio>

namespace {
class NoDialogs final : public UserDialogs {
public:
    void message(const QString &, const QString &, MessageIcon) override {}
    bool askYesNo(const QString &, const QString &, MessageIcon) override { return true; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override { return {}; }
};
class NoStatus final : public StatusLine {
public:
    void showStatus(const QString &) override {}
};

const std::array<QString, 9> kCaptions = {
    QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
    QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
    QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};

qint64 median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// As the program does it: the move, the figures from what it moved, a walk
// started on the worker; the window's thread is free again at that point.
int boxDrop(const QString &item, const QString &root, int runs) {
    NoDialogs dialogs;
    NoStatus status;
    ProcessValues values;
    DropHandler handler(dialogs, status, values, QStringLiteral("/tmp/"));
    DiskUsageRefresher refresher;
    std::array<DropCategory, 9> categories;
    for (int i = 0; i < 9; ++i)
        categories[i] = {kCaptions[i], QDir(root).filePath(kCaptions[i]) + u'/'};
    QEventLoop loop;
    QObject::connect(&refresher, &DiskUsageRefresher::changed, &loop, &QEventLoop::quit);
    refresher.refresh(root, kCaptions);
    loop.exec();
    const QString landed = categories[0].folder + QFileInfo(item).fileName();
    std::vector<qint64> ends;
    std::vector<qint64> walks;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (handler.drop(0, {item}, categories)) {
            refresher.addEstimate(0, handler.lastDropBytes());
            refresher.refresh(root, kCaptions);
        }
        ends.push_back(timer.nsecsElapsed() / 1000);
        loop.exec();
        walks.push_back(timer.nsecsElapsed() / 1000);
        if (!QFile::rename(landed, item))
            return 1;
    }
    std::printf("%lld %lld\n", median(ends), median(walks));
    return 0;
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QStringLiteral("drop")) {
        NoDialogs dialogs;
        NoStatus status;
        ProcessValues values;
        DropHandler handler(dialogs, status, values, QStringLiteral("/tmp/"));
        std::array<DropCategory, 9> categories;
        for (auto &category : categories)
            category = {QStringLiteral("c"), args[3].endsWith(u'/') ? args[3] : args[3] + u'/'};
        QElapsedTimer timer;
        timer.start();
        handler.drop(0, {args[2]}, categories);
        std::printf("%lld\n", timer.nsecsElapsed() / 1000);
        return 0;
    }
    if (args.size() >= 4 && args[1] == QStringLiteral("usage")) {
        const std::array<QString, 9> &captions = kCaptions;
        qint64 best = -1;
        std::uint64_t bytes = 0;
        for (int run = 0; run < args[3].toInt(); ++run) {
            QElapsedTimer timer;
            timer.start();
            bytes = DiskUsage::measure(args[2], captions).root;
            const qint64 elapsed = timer.nsecsElapsed() / 1000;
            best = best < 0 ? elapsed : qMin(best, elapsed);
        }
        std::printf("%lld %llu\n", best, static_cast<unsigned long long>(bytes));
        return 0;
    }
    if (args.size() >= 5 && args[1] == QStringLiteral("boxdrop"))
        return boxDrop(args[2], args[3], args[4].toInt());
    std::fputs(
        "usage: filebox_bench drop <item> <folder> | usage <root> <runs> | boxdrop <item> <root> <runs>\n",
        stderr);
    return 2;
}
