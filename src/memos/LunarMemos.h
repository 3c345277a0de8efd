// SPDX-License-Identifier: MIT
#pragma once

#include "memos/LunarCalendar.h"

#include <QDate>
#include <QString>

#include <optional>

class SettingsFile;
struct MemoSlot;

/// The settings key of memo number's lunar date: "L0" .. "L8" in section
/// MEMO, holding "MM-DD" or "闰MM-DD". The memo's own record stays a yearly
/// record ("年") whose date is a Gregorian day, so a build that knows only
/// the records fires on the right day; the program keeps that day current.
QString lunarKey(int number);

/// The Gregorian day the record of a lunar memo holds on day today: its
/// next occurrence, except while that lies in a later year on a month and
/// day still ahead this year; then the occurrence already passed this year,
/// so that no one fires the memo twice in one year. An invalid date with
/// error set when the library cannot tell.
LunarOccurrence lunarRecordDay(const LunarMonthDay &monthDay, const QDate &today);

/// Whether day is a lunar memo's day; nothing when the slot is no lunar
/// memo or the library cannot tell, and its Gregorian record decides.
std::optional<bool> isLunarMemoDay(const MemoSlot &slot, const QDate &day);

/// Moves the records of the lunar memos to their day (lunarRecordDay)
/// once a day: at start and after each date change.
class LunarMemos final {
public:
    explicit LunarMemos(const SettingsFile &settings);

    /// Once per date: true when a record was rewritten, and the memos need
    /// loading again. Failures go to error, one line per memo.
    bool follow(const QDate &today, QString *error = nullptr);

    /// Brings every lunar memo's record to its day now, whatever the last date.
    bool update(const QDate &today, QString *error = nullptr);

private:
    const SettingsFile &m_settings;
    QDate m_lastDay;
};
