// SPDX-License-Identifier: MIT
// One WriteSetting with its durable atomic replace on a 4 KB setup.ini, beside
// the same replace of the same bytes done by a small C program (temporary file,
// fsync, rename, fsync of the folder) in the same run: "WriteSetting = X × C
// replace" (goal: at most 1.2). Also a plain rewrite in place, and ReadSetting
// on a 4 KB file and on a 50 MB one of blank lines, read once after each change
// and then from its parsed form, with the peak memory of the process.
//   settings_bench [--anchor=PATH-OF-replace_anchor] [benchmark flags]
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray fourKilobyteProfile() {
    QByteArray file = "[SYSTEM]\r\n";
    for (int i = 0; file.size() < 4096; ++i)
        file += "Key" + QByteArray::number(i) + "=value number " + QByteArray::number(i) + "\r\n";
    return file;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

void WriteSettingAtomic(benchmark::State &state) {
    QTemporaryDir dir;
    const SettingsFile settings(dir.path());
    writeFile(settings.path(), fourKilobyteProfile());
    int value = 0;
    for (auto _ : state)
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top"), QString::number(++value));
}
BENCHMARK(WriteSettingAtomic)->Unit(benchmark::kMicrosecond);

// The same 4 KB written over the file in place: no replace, no flush.
void PlainRewrite(benchmark::State &state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setup.ini"));
    const QByteArray bytes = fourKilobyteProfile();
    for (auto _ : state)
        writeFile(path, bytes);
}
BENCHMARK(PlainRewrite)->Unit(benchmark::kMicrosecond);

void ReadSetting(benchmark::State &state) {
    QTemporaryDir dir;
    const SettingsFile settings(dir.path());
    writeFile(settings.path(), fourKilobyteProfile() + "F_top=1\r\n");
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")));
}
BENCHMARK(ReadSetting)->Unit(benchmark::kMicrosecond);

// 50 MB of blank lines before the section: once the file is parsed, a read
// costs no more than on a small file; a changed file is read and parsed anew.
QByteArray bigProfile() {
    QByteArray file;
    file.reserve(50 * 1024 * 1024 + 64);
    while (file.size() < 50 * 1024 * 1024)
        file += "\r\n";
    return file + "[SYSTEM]\r\nF_top=1\r\n";
}

void ReadSettingBigFile(benchmark::State &state) {
    QTemporaryDir dir;
    const SettingsFile settings(dir.path());
    writeFile(settings.path(), bigProfile());
    // A file changed within two seconds has its bytes compared on each read.
    ::sleep(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")));
}
BENCHMARK(ReadSettingBigFile)->Unit(benchmark::kMicrosecond);

void ReadSettingBigFileChanged(benchmark::State &state) {
    QTemporaryDir dir;
    const SettingsFile settings(dir.path());
    QByteArray bytes = bigProfile();
    int value = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bytes[bytes.size() - 3] = char('0' + ++value % 10);
        writeFile(settings.path(), bytes);
        state.ResumeTiming();
        benchmark::DoNotOptimize(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")));
    }
    rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(ReadSettingBigFileChanged)->Unit(benchmark::kMillisecond);

// The C program's microseconds per replace of the same bytes, count times;
// 0 when it failed.
double anchorMicroseconds(const QString &program, qint64 count) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("source"));
    const QString folder = dir.filePath(QStringLiteral("replaced"));
    writeFile(source, fourKilobyteProfile());
    if (!QDir().mkdir(folder))
        return 0;
    QProcess anchor;
    anchor.start(program, {source, folder, QString::number(count)});
    if (!anchor.waitForFinished(-1) || anchor.exitCode() != 0)
        return 0;
    return anchor.readAllStandardOutput().trimmed().toDouble();
}

// The console table. The C program replaces the file as many times as
// WriteSettingAtomic did, once before the benchmarks and once right after it,
// so that a disk that grows slower or faster meanwhile weighs on both sides.
class AnchoredReporter final : public benchmark::ConsoleReporter {
public:
    explicit AnchoredReporter(QString anchor)
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
        , m_anchor(std::move(anchor)) {}

    bool ReportContext(const Context &context) override {
        if (!m_anchor.isEmpty())
            m_before = anchorMicroseconds(m_anchor, kAnchorCount);
        return ConsoleReporter::ReportContext(context);
    }

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration ||
                run.run_name.function_name != "WriteSettingAtomic" || m_anchor.isEmpty())
                continue;
            writeMicroseconds = run.GetAdjustedRealTime() *
                                benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
                                benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double after = anchorMicroseconds(m_anchor, run.iterations);
            cMicroseconds = m_before > 0 && after > 0 ? (m_before + after) / 2 : 0;
        }
    }

    double writeMicroseconds = 0;
    double cMicroseconds = 0;

private:
    static constexpr qint64 kAnchorCount = 1000;
    QString m_anchor;
    double m_before = 0;
};

} // namespace

int main(int argc, char **argv) {
    QString anchor;
    std::vector<char *> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--anchor=", 9) == 0)
            anchor = QFile::decodeName(argv[i] + 9);
        else
            arguments.push_back(argv[i]);
    }
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    AnchoredReporter reporter(anchor);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (anchor.isEmpty() || reporter.writeMicroseconds <= 0)
        return 0;
    if (reporter.cMicroseconds <= 0) {
        std::fprintf(stderr, "the anchor %s failed\n", qPrintable(anchor));
        return 1;
    }
    std::printf(
        "WriteSetting %.1f us, C replace %.1f us: WriteSetting = %.2f × C replace (goal: at most 1.2)\n",
        reporter.writeMicroseconds, reporter.cMicroseconds,
        reporter.writeMicroseconds / reporter.cMicroseconds);
    return 0;
}
