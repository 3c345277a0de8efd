// SPDX-License-Identifier: MIT
// The file box's work inside the running program, for filebox.sh to set
// beside the shell tools on the same files:
//   filebox_bench drop <item> <category folder>   one drop of one item on an ordinary tile
//   filebox_bench usage <root> <runs>             the disk-usage walk, best of runs
// Each prints the wall time in microseconds.
#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "filebox/DiskUsage.h"
#include "filebox/DropHandler.h"
#include "platform/UserDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>

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
        const std::array<QString, 9> captions = {
            QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
            QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
            QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};
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
    std::fputs("usage: filebox_bench drop <item> <folder> | usage <root> <runs>\n", stderr);
    return 2;
}
