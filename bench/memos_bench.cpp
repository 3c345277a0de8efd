// SPDX-License-Identifier: MIT
// The reminder scheduler's cost per tick over nine enabled memos, and a 1 MB
// RTF body read into a QTextDocument beside the anchor, QTextDocument::
// setPlainText of the same text, and written back beside that reading. After
// the table: "rtf read = X × setPlainText" and "rtf write = Y × read", from
// the times per iteration (the median when repeated).
#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "memos/MemoScheduler.h"
#include "memos/MemoSlots.h"
#include "memos/RtfReader.h"
#include "memos/RtfWriter.h"
#include "platform/Clock.h"
#include "platform/SoundPlayer.h"
#include "settings/SettingsFile.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class SteppingClock final : public Clock {
public:
    QDateTime now() const override { return current; }
    QDateTime current = QDateTime(QDate(2026, 12, 10), QTime(8, 0, 0));
};

class NoSound final : public SoundPlayer {
public:
    void playAsync(const QString &) override {}
};

class NoStatus final : public StatusLine {
public:
    void showStatus(const QString &) override {}
};

// About 1 MB of RTF: mixed Chinese and Latin paragraphs with some formatting.
const QByteArray &bigRtf() {
    static const QByteArray rtf = [] {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QByteArray result;
        for (int i = 0; result.size() < 1'000'000; ++i) {
            cursor.insertText(QStringLiteral("第%1段 会议记录 ").arg(i), bold);
            cursor.insertText(
                QStringLiteral("The quick brown fox jumps over the lazy dog, 敏捷的棕色狐狸跳过了懒狗。"),
                QTextCharFormat());
            cursor.insertBlock();
            if (i % 500 == 0)
                result = RtfWriter::write(document);
        }
        return RtfWriter::write(document);
    }();
    return rtf;
}

void SchedulerTick(benchmark::State &state) {
    QTemporaryDir dir;
    const SettingsFile settings(dir.path());
    const QStringList periods = {QStringLiteral("年|01-10"), QStringLiteral("季|1"), QStringLiteral("月|15"),
                                 QStringLiteral("周|3"), QStringLiteral("日|1")};
    for (int n = 0; n < 9; ++n)
        settings.WriteSetting(QStringLiteral("MEMO"), QStringLiteral("M%1").arg(n),
                              QStringLiteral("1|%1|23:59:59|memo").arg(periods[n % periods.size()]));
    MemoSlots slots;
    slots.LoadMemos(settings);
    SteppingClock clock;
    ProcessValues values;
    NoSound sound;
    NoStatus status;
    MemoScheduler scheduler(slots, clock, values, sound, status, dir.path() + u'/');
    for (auto _ : state) {
        clock.current = clock.current.addSecs(1);
        scheduler.Timer3_Timer();
    }
}
BENCHMARK(SchedulerTick)->Unit(benchmark::kMicrosecond);

void SetPlainTextAnchor(benchmark::State &state) {
    QTextDocument document;
    const QString text = RtfReader::plainText(bigRtf());
    for (auto _ : state)
        document.setPlainText(text);
    state.counters["chars"] = double(text.size());
}
BENCHMARK(SetPlainTextAnchor)->Unit(benchmark::kMillisecond);

void ReadRtf(benchmark::State &state) {
    QTextDocument document;
    const QByteArray &rtf = bigRtf();
    for (auto _ : state)
        RtfReader::read(rtf, document);
    state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(ReadRtf)->Unit(benchmark::kMillisecond);

void WriteRtf(benchmark::State &state) {
    QTextDocument document;
    RtfReader::read(bigRtf(), document);
    qsizetype size = 0;
    for (auto _ : state)
        size = RtfWriter::write(document).size();
    state.counters["rtf_bytes"] = double(size);
}
BENCHMARK(WriteRtf)->Unit(benchmark::kMillisecond);

// The console table, and each benchmark's time per iteration: the median
// of the repetitions when they are reported, else of the runs.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    RatioReporter()
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Iteration)
                m_runs[run.run_name.function_name].push_back(seconds);
            else if (run.aggregate_name == "median")
                m_medians[run.run_name.function_name] = seconds;
        }
    }

    // 0 when the benchmark did not run.
    double seconds(const std::string &name) const {
        const auto median = m_medians.find(name);
        if (median != m_medians.end())
            return median->second;
        const auto found = m_runs.find(name);
        if (found == m_runs.end())
            return 0;
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> m_runs;
    std::map<std::string, double> m_medians;
};

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double anchor = reporter.seconds("SetPlainTextAnchor");
    const double read = reporter.seconds("ReadRtf");
    const double write = reporter.seconds("WriteRtf");
    if (read > 0 && anchor > 0)
        std::printf("rtf read = %.2f × setPlainText\n", read / anchor);
    if (write > 0 && read > 0)
        std::printf("rtf write = %.2f × read\n", write / read);
    return 0;
}
