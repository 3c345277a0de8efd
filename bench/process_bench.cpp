// SPDX-License-Identifier: MIT
// Start-up time, memory and idle processor time of the program, each beside
// the same figure for the minimal Qt window measured in the same run, on the
// platform QT_QPA_PLATFORM names (offscreen, or xcb on a virtual display).
//   process_bench <tackora> <minimal_window> [idle seconds] [--x11 <window_time>]
// With --x11 it adds what only a display shows: start to first window mapped
// and first drawn (as the X server sees them) beside the minimal window and
// xpad, and the memory of the process tree with the calendar open and closed
// again (from its "D" on the board, through xdotool).
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double shownMs = 0;
    long peakKiB = 0;
};

pid_t spawn(const std::vector<std::string> &arguments, int *stdoutRead) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDERR_FILENO);
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    *stdoutRead = pipeFds[0];
    return pid;
}

// Time from the start of the process to its "shown" line, and its peak RSS.
Run measureStart(const std::vector<std::string> &arguments) {
    QElapsedTimer timer;
    timer.start();
    int out = -1;
    const pid_t pid = spawn(arguments, &out);
    Run run;
    char buffer[64];
    std::string seen;
    ssize_t got = 0;
    while (seen.find("shown") == std::string::npos && (got = read(out, buffer, sizeof buffer)) > 0)
        seen.append(buffer, size_t(got));
    run.shownMs = double(timer.nsecsElapsed()) / 1e6;
    close(out);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;
    return run;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ratio(double a, double b) {
    return b > 0 ? a / b : 0.0;
}

// Processor time of a running process, all its threads, in milliseconds: the
// scheduler's nanosecond count, since the tick-based user and system times
// are too coarse for a process that sleeps most of a minute.
double cpuMs(pid_t pid) {
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    double totalNs = 0;
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        FILE *stat =
            std::fopen(QStringLiteral("%1/%2/schedstat").arg(tasks, task).toLocal8Bit().constData(), "r");
        if (!stat)
            continue;
        unsigned long long runNs = 0;
        if (std::fscanf(stat, "%llu", &runNs) == 1)
            totalNs += double(runNs);
        std::fclose(stat);
    }
    return totalNs / 1e6;
}

// The process and every descendant (the calendar's helper processes among them).
std::vector<pid_t> processTree(pid_t root) {
    std::vector<std::pair<pid_t, pid_t>> parents; // pid, parent
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')'); // the name may hold spaces
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() > 1)
            parents.emplace_back(pid, pid_t(fields[1].toInt()));
    }
    std::vector<pid_t> tree = {root};
    for (size_t i = 0; i < tree.size(); ++i) {
        for (const auto &[pid, parent] : parents) {
            if (parent == tree[i])
                tree.push_back(pid);
        }
    }
    return tree;
}

struct Memory {
    double rssMiB = 0;
    double pssMiB = 0;
    int processes = 0;
};

// RSS and PSS of the whole tree now, from smaps_rollup.
Memory treeMemory(pid_t root) {
    Memory memory;
    for (const pid_t pid : processTree(root)) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        ++memory.processes;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 2 && fields[0] == "Rss:")
                memory.rssMiB += fields[1].toDouble() / 1024;
            else if (fields.size() >= 2 && fields[0] == "Pss:")
                memory.pssMiB += fields[1].toDouble() / 1024;
        }
    }
    return memory;
}

void endTree(pid_t pid, int out) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    close(out);
}

// A program folder of its own, started once (which writes the defaults),
// then with the given settings of setup.ini in place of the defaults.
std::string makeHome(const QTemporaryDir &base, const std::string &tackora, const char *name,
                     const std::vector<std::pair<QByteArray, QByteArray>> &settings) {
    const QString path = base.filePath(QString::fromLatin1(name));
    QDir().mkpath(path);
    const std::string home = QDir::toNativeSeparators(path).toStdString();
    measureStart({tackora, "--home", home, "--no-splash", "--exit-after-show"});
    QFile ini(path + QStringLiteral("/setup.ini"));
    if (!settings.empty() && ini.open(QIODevice::ReadOnly)) {
        QByteArray text = ini.readAll();
        ini.close();
        for (const auto &[key, value] : settings) {
            const qsizetype at = text.indexOf("\n" + key + "=");
            if (at < 0)
                continue;
            const qsizetype from = at + 1 + key.size() + 1;
            qsizetype to = from;
            while (to < text.size() && text[to] != '\r' && text[to] != '\n')
                ++to;
            text.replace(from, to - from, value);
        }
        if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            ini.write(text);
    }
    return home;
}

struct WindowTimes {
    double mappedMs = -1;
    double paintedMs = -1;
};

// What window_time reports for a program: start to first window mapped and
// to its first drawing; negative where it saw none.
WindowTimes windowTimes(const std::string &windowTime, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), windowTime);
    int out = -1;
    const pid_t pid = spawn(arguments, &out);
    std::string seen;
    char buffer[64];
    ssize_t got = 0;
    while ((got = read(out, buffer, sizeof buffer)) > 0)
        seen.append(buffer, size_t(got));
    close(out);
    waitpid(pid, nullptr, 0);
    WindowTimes times;
    if (std::sscanf(seen.c_str(), "%lf %lf", &times.mappedMs, &times.paintedMs) != 2)
        times = {};
    return times;
}

// xpad keeps one process for all its pads: a start while one runs only asks
// that one for a pad. Each start must find none running and a pad to show:
// an xpad ended from outside saves its pads as hidden, and its next start
// would then show no window at all.
void showXpadPadsAtNextStart(const QString &home) {
    const QDir config(home + QStringLiteral("/.config/xpad"));
    for (const QString &name : config.entryList({QStringLiteral("info-*")}, QDir::Files)) {
        QFile info(config.filePath(name));
        if (!info.open(QIODevice::ReadOnly))
            continue;
        QByteArray text = info.readAll();
        info.close();
        text.replace("\nhidden 1", "\nhidden 0");
        if (info.open(QIODevice::WriteOnly | QIODevice::Truncate))
            info.write(text);
    }
}

bool onPath(const char *program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

// Idle CPU of the board in each transparency mode beside the label clock. A
// minute of a mostly sleeping process is a few tens of milliseconds, and a
// busy neighbour or a timer phase moves it by a fifth: each mode runs as a
// pair with its own label clock (two processes, so on a two-processor
// machine neither waits for the other), in rounds with fresh processes and
// fresh timer phases; the median round counts, the spread is printed beside.
void idleByMode(const std::string &tackora, const std::string &minimal, const QTemporaryDir &base,
                int idleSeconds) {
    const char *modes[] = {"a", "b", "c"};
    std::vector<std::string> homes;
    for (const char *mode : modes)
        homes.push_back(makeHome(base, tackora, (std::string("idle-") + mode).c_str(),
                                 {{"F_transparent", QByteArray(mode)}}));
    constexpr int kRounds = 3;
    const int pairSeconds = std::max(10, idleSeconds / kRounds / 3);
    std::vector<std::vector<double>> board(3), clock(3), ratios(3);
    std::vector<double> bare;
    auto measure = [&](const std::vector<std::vector<std::string>> &commands) {
        std::vector<pid_t> pids;
        std::vector<int> outs(commands.size(), -1);
        for (size_t i = 0; i < commands.size(); ++i)
            pids.push_back(spawn(commands[i], &outs[i]));
        sleep(3); // past start-up
        std::vector<double> before;
        for (const pid_t pid : pids)
            before.push_back(cpuMs(pid));
        sleep(unsigned(pairSeconds));
        std::vector<double> perMinute;
        for (size_t i = 0; i < pids.size(); ++i)
            perMinute.push_back((cpuMs(pids[i]) - before[i]) * 60.0 / pairSeconds);
        for (size_t i = 0; i < pids.size(); ++i)
            endTree(pids[i], outs[i]);
        return perMinute;
    };
    for (int round = 0; round < kRounds; ++round) {
        for (size_t mode = 0; mode < 3; ++mode) {
            const std::vector<double> pair =
                measure({{tackora, "--home", homes[mode], "--no-splash"}, {minimal, "--clock"}});
            board[mode].push_back(pair[0]);
            clock[mode].push_back(pair[1]);
            ratios[mode].push_back(ratio(pair[0], pair[1]));
        }
        bare.push_back(measure({{minimal, "--idle"}})[0]);
    }
    for (size_t i = 0; i < 3; ++i) {
        const auto [low, high] = std::minmax_element(ratios[i].begin(), ratios[i].end());
        std::printf(
            "idle CPU per minute, mode %s  tackora %7.2f ms   label clock %7.2f ms   ratio %.2f  (rounds "
            "%.2f-%.2f; goal <= 1, %d x %d s)\n",
            modes[i], median(board[i]), median(clock[i]), median(ratios[i]), *low, *high, kRounds,
            pairSeconds);
    }
    std::printf("                             (two bare one-second timers: %.2f ms)\n", median(bare));
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 3) {
        std::fprintf(
            stderr, "usage: process_bench <tackora> <minimal_window> [idle seconds] [--x11 <window_time>]\n");
        return 2;
    }
    const std::string tackora = argv[1];
    const std::string minimal = argv[2];
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 60;
    const std::string windowTime = argc > 5 && std::strcmp(argv[4], "--x11") == 0 ? argv[5] : "";
    const bool x11 = !windowTime.empty();
    constexpr int kRuns = 15;

    QTemporaryDir base;
    const std::string homePath = makeHome(base, tackora, "board", {});
    const std::vector<std::string> tackoraStart = {tackora, "--home", homePath, "--no-splash",
                                                   "--exit-after-show"};
    const std::vector<std::string> minimalStart = {minimal, "--exit-after-show"};
    measureStart(tackoraStart); // warm both up
    measureStart(minimalStart);

    std::vector<double> tackoraMs, minimalMs, tackoraKiB, minimalKiB;
    for (int i = 0; i < kRuns; ++i) {
        const Run a = measureStart(tackoraStart);
        const Run b = measureStart(minimalStart);
        tackoraMs.push_back(a.shownMs);
        minimalMs.push_back(b.shownMs);
        tackoraKiB.push_back(double(a.peakKiB));
        minimalKiB.push_back(double(b.peakKiB));
    }
    std::printf(
        "start to board painted  tackora %7.1f ms   minimal window %7.1f ms   ratio %.2f  (goal <= 1.5)\n",
        median(tackoraMs), median(minimalMs), ratio(median(tackoraMs), median(minimalMs)));
    std::printf(
        "peak RSS                tackora %7.1f MiB  minimal window %7.1f MiB  ratio %.2f  (goal <= 1.5)\n",
        median(tackoraKiB) / 1024, median(minimalKiB) / 1024, ratio(median(tackoraKiB), median(minimalKiB)));
    std::fflush(stdout);

    if (x11) {
        // Start to the first window on the display and to its first drawing,
        // all three measured alike from outside.
        const bool xpad = onPath("xpad");
        QTemporaryDir xpadHome;
        qputenv("HOME", xpadHome.path().toLocal8Bit());
        if (xpad) {
            windowTimes(windowTime, {"xpad"}); // its first start shows its help; the pads come after
            showXpadPadsAtNextStart(xpadHome.path());
            windowTimes(windowTime, {"xpad"});
        }
        std::vector<double> tackoraMap, minimalMap, xpadMap, tackoraPaint, minimalPaint, xpadPaint;
        auto keep = [](const WindowTimes &times, std::vector<double> &mapped, std::vector<double> &painted) {
            if (times.mappedMs > 0)
                mapped.push_back(times.mappedMs);
            if (times.paintedMs > 0)
                painted.push_back(times.paintedMs);
        };
        for (int i = 0; i < 9; ++i) {
            keep(windowTimes(windowTime, {tackora, "--home", homePath, "--no-splash"}), tackoraMap,
                 tackoraPaint);
            keep(windowTimes(windowTime, {minimal}), minimalMap, minimalPaint);
            if (xpad) {
                showXpadPadsAtNextStart(xpadHome.path());
                keep(windowTimes(windowTime, {"xpad"}), xpadMap, xpadPaint);
            }
        }
        std::printf("start to window mapped  tackora %7.1f ms   minimal window %7.1f ms   ratio %.2f\n",
                    median(tackoraMap), median(minimalMap), ratio(median(tackoraMap), median(minimalMap)));
        std::printf("start to first drawn    tackora %7.1f ms   minimal window %7.1f ms   ratio %.2f  (goal "
                    "<= 1.5)\n",
                    median(tackoraPaint), median(minimalPaint),
                    ratio(median(tackoraPaint), median(minimalPaint)));
        if (xpad && !xpadPaint.empty())
            std::printf(
                "                        xpad    %7.1f ms mapped, %7.1f ms drawn   tackora/xpad drawn "
                "%.2f  (goal < 1; %zu of 9 starts seen)\n",
                median(xpadMap), median(xpadPaint), ratio(median(tackoraPaint), median(xpadPaint)),
                xpadPaint.size());
        else
            std::printf("                        (%s: no xpad figure)\n",
                        xpad ? "xpad showed no window" : "xpad not installed");
        std::fflush(stdout);
    }

    // Memory of the running process tree, settled, beside the minimal window.
    {
        int boardOut = -1;
        int minimalOut = -1;
        const pid_t board = spawn({tackora, "--home", homePath, "--no-splash"}, &boardOut);
        const pid_t window = spawn({minimal, "--idle"}, &minimalOut);
        sleep(3);
        const Memory a = treeMemory(board);
        const Memory b = treeMemory(window);
        endTree(board, boardOut);
        endTree(window, minimalOut);
        std::printf("board alone, tree RSS   tackora %7.1f MiB  minimal window %7.1f MiB  ratio %.2f  (goal "
                    "<= 1.5)\n",
                    a.rssMiB, b.rssMiB, ratio(a.rssMiB, b.rssMiB));
        std::printf("board alone, tree PSS   tackora %7.1f MiB  minimal window %7.1f MiB  ratio %.2f  (goal "
                    "<= 1.5)\n",
                    a.pssMiB, b.pssMiB, ratio(a.pssMiB, b.pssMiB));
        std::fflush(stdout);
        {
            // For reference, no goal: the same, beside a minimal window whose
            // label is Chinese in the board's face.
            int chineseBoardOut = -1;
            int chineseOut = -1;
            const pid_t secondBoard = spawn({tackora, "--home", homePath, "--no-splash"}, &chineseBoardOut);
            const pid_t chinese = spawn({minimal, "--idle", "--chinese"}, &chineseOut);
            sleep(3);
            const Memory c = treeMemory(secondBoard);
            const Memory d = treeMemory(chinese);
            endTree(secondBoard, chineseBoardOut);
            endTree(chinese, chineseOut);
            std::printf(
                "  beside a Chinese label tackora PSS %5.1f MiB  minimal window %5.1f MiB  ratio %.2f  "
                "(RSS %.2f; reference: the CJK face's share)\n",
                c.pssMiB, d.pssMiB, ratio(c.pssMiB, d.pssMiB), ratio(c.rssMiB, d.rssMiB));
            std::fflush(stdout);
        }
        if (x11 && onPath("xdotool")) {
            const std::string calendarHome = makeHome(base, tackora, "calendar", {{"F_calendar", "y"}});
            int out = -1;
            const pid_t withCalendar = spawn({tackora, "--home", calendarHome, "--no-splash"}, &out);
            const char *const shown =
                "timeout 20 xdotool search --sync --onlyvisible --name '^万年历$' >/dev/null 2>&1";
            const bool opened = std::system(shown) == 0;
            sleep(3); // the page loaded
            const Memory open = treeMemory(withCalendar);
            // Closed from its "D" on the board (the board stands at 0,0), else with Escape.
            std::system("xdotool search --name '^Tackora V' windowfocus --sync %1 "
                        "mousemove --window %1 252 364 click 1 >/dev/null 2>&1");
            sleep(1);
            std::system("xdotool search --onlyvisible --name '^万年历$' windowfocus --sync %1 key Escape "
                        ">/dev/null 2>&1");
            sleep(3);
            const bool closedAgain =
                std::system("xdotool search --onlyvisible --name '^万年历$' >/dev/null 2>&1") != 0;
            const Memory closed = treeMemory(withCalendar);
            endTree(withCalendar, out);
            std::printf("calendar open, tree     RSS %7.1f MiB  PSS %7.1f MiB  (%d processes)%s\n",
                        open.rssMiB, open.pssMiB, open.processes,
                        opened ? "" : "  (no calendar window came)");
            std::printf(
                "calendar closed again   RSS %7.1f MiB  PSS %7.1f MiB  (%d processes)  RSS/board alone "
                "%.2f  (goal <= 1.1)%s\n",
                closed.rssMiB, closed.pssMiB, closed.processes, ratio(closed.rssMiB, a.rssMiB),
                closedAgain ? "" : "  (the calendar window stayed)");
            std::fflush(stdout);
        }
    }

    if (idleSeconds > 0)
        idleByMode(tackora, minimal, base, idleSeconds);
    return 0;
}
