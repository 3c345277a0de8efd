// SPDX-License-Identifier: MIT
#include "memos/MissedReminders.h"

#include "memos/MemoScheduler.h"

#include <algorithm>

namespace {

void sortNewestFirst(QList<MissedReminder> &reminders) {
    std::sort(reminders.begin(), reminders.end(), [](const MissedReminder &a, const MissedReminder &b) {
        return a.due != b.due ? a.due > b.due : a.number < b.number;
    });
}

// The latest second after start and before end at which slot falls due.
QDateTime latestDue(const MemoSlot &slot, const QDateTime &start, const QDateTime &end) {
    const QTime time = QTime::fromString(slot.time, QStringLiteral("HH:mm:ss"));
    if (slot.enabled != 1 || !time.isValid())
        return {};
    for (QDate day = end.date(); day >= start.date(); day = day.addDays(-1)) {
        const QDateTime candidate(day, time);
        if (candidate > start && candidate < end && isDueAt(slot, candidate))
            return candidate;
    }
    return {};
}

} // namespace

QList<MissedReminder> missedReminders(const std::array<MemoSlot, kMemoCount> &slots, const QDateTime &from,
                                      const QDateTime &to, const MemoSnoozes &snoozes) {
    if (!from.isValid() || !to.isValid())
        return {};
    const QDateTime start = std::max(from, to.addDays(-kMissedDaysKept));
    QList<MissedReminder> missed;
    if (start >= to)
        return missed;
    for (int n = 0; n < kMemoCount; ++n) {
        const MemoSlot &slot = slots[n];
        QDateTime latest = latestDue(slot, start, to);
        const QDateTime &snooze = snoozes[n];
        if (slot.enabled == 1 && snooze.isValid() && snooze > start && snooze < to &&
            (!latest.isValid() || snooze > latest))
            latest = snooze;
        if (latest.isValid())
            missed.append({n, latest, slot.title});
    }
    sortNewestFirst(missed);
    return missed;
}

QList<MissedReminder> mergeMissed(const QList<MissedReminder> &listed, const QList<MissedReminder> &more) {
    QList<MissedReminder> merged = listed;
    for (const MissedReminder &reminder : more) {
        const auto same = std::find_if(merged.begin(), merged.end(),
                                       [&](const MissedReminder &r) { return r.number == reminder.number; });
        if (same == merged.end())
            merged.append(reminder);
        else if (reminder.due >= same->due)
            *same = reminder;
    }
    sortNewestFirst(merged);
    return merged;
}

QString missedCountText(qsizetype count) {
    return QStringLiteral("错过了 %1 条提醒").arg(count);
}
