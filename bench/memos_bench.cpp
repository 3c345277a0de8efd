// SPDX-License-Identifier: MIT
// The reminder scheduler's cost per tick over nine enabled memos, and a 1 MB
// RTF body loaded into the preview, beside the anchor: QTextEdit::setPlainText
// of the same text.
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
#include <QTextEdit>

#include <benchmark/benchmark.h>

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

void PreviewLoadsRtf(benchmark::State &state) {
    QTextEdit preview;
    const QByteArray &rtf = bigRtf();
    for (auto _ : state)
        RtfReader::read(rtf, *preview.document());
    state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(PreviewLoadsRtf)->Unit(benchmark::kMillisecond);

void SetPlainTextAnchor(benchmark::State &state) {
    QTextEdit preview;
    const QString text = RtfReader::plainText(bigRtf());
    for (auto _ : state)
        preview.setPlainText(text);
}
BENCHMARK(SetPlainTextAnchor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
