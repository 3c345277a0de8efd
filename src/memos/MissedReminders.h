// SPDX-License-Identifier: MIT
#pragma once

#include "memos/MemoRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <array>

/// How far back reminders missed while the program was away are looked for.
inline constexpr int kMissedDaysKept = 7;

/// A memo's "稍后提醒" moment per memo number; invalid: none.
using MemoSnoozes = std::array<QDateTime, kMemoCount>;

/// A reminder whose second no tick saw.
struct MissedReminder {
    int number = 0;
    QDateTime due; // the latest second it fell due at
    QString title;
    friend bool operator==(const MissedReminder &, const MissedReminder &) = default;
};

/// The memos that fell due after from and before to, by the scheduler's own
/// rules, looking back at most kMissedDaysKept days from to. A snooze of an
/// enabled memo in that span counts as one of its seconds. Each memo comes
/// once, with its latest second; newest first, then by number. The second to
/// itself is the tick's to announce, so it is left out.
QList<MissedReminder> missedReminders(const std::array<MemoSlot, kMemoCount> &slots, const QDateTime &from,
                                      const QDateTime &to, const MemoSnoozes &snoozes = {});

/// Both lists as one: each memo once with its latest second, newest first.
QList<MissedReminder> mergeMissed(const QList<MissedReminder> &listed, const QList<MissedReminder> &more);

/// What the status line and the balloon say: "错过了 3 条提醒".
QString missedCountText(qsizetype count);
