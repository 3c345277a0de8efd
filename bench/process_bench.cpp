// SPDX-License-Identifier: MIT
// Start-up time, peak memory and idle processor time of the program, each
// beside the same figure for the minimal Qt window measured in the same run.
//   process_bench <tackora> <minimal_window> [idle seconds]
#include <QDir>
#include <QElapsedTimer>
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
        execv(argv[0], argv.data());
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
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: process_bench <tackora> <minimal_window> [idle seconds]\n");
        return 2;
    }
    const std::string tackora = argv[1];
    const std::string minimal = argv[2];
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 60;
    constexpr int kRuns = 15;

    QTemporaryDir home;
    const std::string homePath = QDir::toNativeSeparators(home.path()).toStdString();
    const std::vector<std::string> tackoraStart = {tackora, "--home", homePath, "--no-splash",
                                                   "--exit-after-show"};
    const std::vector<std::string> minimalStart = {minimal, "--exit-after-show"};
    measureStart(tackoraStart); // the first start writes the defaults; warm both up
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
        median(tackoraMs), median(minimalMs), median(tackoraMs) / median(minimalMs));
    std::printf(
        "peak RSS                tackora %7.1f MiB  minimal window %7.1f MiB  ratio %.2f  (goal <= 1.5)\n",
        median(tackoraKiB) / 1024, median(minimalKiB) / 1024, median(tackoraKiB) / median(minimalKiB));
    std::fflush(stdout);

    if (idleSeconds <= 0)
        return 0;
    int tackoraOut = -1;
    int minimalOut = -1;
    const pid_t tackoraPid = spawn({tackora, "--home", homePath, "--no-splash"}, &tackoraOut);
    const pid_t minimalPid = spawn({minimal, "--idle"}, &minimalOut);
    int clockOut = -1;
    const pid_t clockPid = spawn({minimal, "--clock"}, &clockOut);
    sleep(3); // past start-up
    const double tackoraBefore = cpuMs(tackoraPid);
    const double minimalBefore = cpuMs(minimalPid);
    const double clockBefore = cpuMs(clockPid);
    sleep(unsigned(idleSeconds));
    const double tackoraIdle = (cpuMs(tackoraPid) - tackoraBefore) * 60.0 / idleSeconds;
    const double minimalIdle = (cpuMs(minimalPid) - minimalBefore) * 60.0 / idleSeconds;
    const double clockIdle = (cpuMs(clockPid) - clockBefore) * 60.0 / idleSeconds;
    kill(tackoraPid, SIGTERM);
    kill(minimalPid, SIGTERM);
    kill(clockPid, SIGTERM);
    waitpid(clockPid, nullptr, 0);
    close(clockOut);
    waitpid(tackoraPid, nullptr, 0);
    waitpid(minimalPid, nullptr, 0);
    close(tackoraOut);
    close(minimalOut);
    std::printf("idle CPU per minute     tackora %7.2f ms   two bare timers %6.2f ms   ratio %.2f  (goal <= "
                "2, over %d s)\n",
                tackoraIdle, minimalIdle, minimalIdle > 0 ? tackoraIdle / minimalIdle : 0.0, idleSeconds);
    std::printf(
        "                        (a window whose label shows the time each second: %.2f ms, ratio %.2f)\n",
        clockIdle, clockIdle > 0 ? tackoraIdle / clockIdle : 0.0);
    return 0;
}
