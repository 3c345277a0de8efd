// SPDX-License-Identifier: MIT
#pragma once

#include "memos/LunarCalendar.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

inline constexpr int kMemoCount = 9;

/// What one memo slot of the board shows, the working copy of its record
/// that the reminder scheduler reads.
struct MemoSlot {
    /// The check box: 0 unticked, 1 ticked (2 is the box's grey state).
    int enabled = 0;
    /// The check box's caption: the period character once loaded.
    QString period;
    /// The time cell's tip: the day within the period.
    QString date;
    /// The time cell: "hh:mm:ss" once loaded, "未启用" before.
    QString time = QStringLiteral("未启用");
    QString title;
    /// A lunar yearly memo's lunar month and day (key L0..L8): it falls due
    /// by the lunar calendar, whatever day the record holds.
    std::optional<LunarMonthDay> lunar = std::nullopt;

    /// The initial look of slot number (0..8).
    static MemoSlot initial(int number);
};

/// Applies a stored record to a slot: split at every "|"; each piece sets
/// its field on its own, a missing piece leaves the field as it was; blanks
/// around pieces go. An empty record changes nothing.
void applyRecord(MemoSlot &slot, const QString &record);

/// The record as stored: enabled|period|date|time|title.
QString formatRecord(int enabled, const QString &period, const QString &date, const QString &time,
                     const QString &title);

/// A time of day as the scheduler accepts it: hours 0 to 23, ":", minutes 0
/// to 59, optionally ":" and seconds 0 to 59 (one or two digits each).
bool isValidTimeOfDay(const QString &text);

/// The number a leading run of digits gives: "01" is 1, "" or "x" is 0.
int leadingNumber(const QString &text);

/// The settings key of memo number: "M0" .. "M8".
QString memoKey(int number);
/// The memo's body and sound files in the program folder.
QString memoBodyPath(const QString &appFolder, int number);
QString memoSoundPath(const QString &appFolder, int number);
