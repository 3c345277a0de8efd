// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>

#include <optional>

/// A day of the Chinese lunar calendar.
struct LunarDay {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 30
    bool leap = false;
};

/// A lunar month and day that recurs every lunar year, as a lunar memo keeps
/// it: "04-30", or "闰04-30" for the leap month.
struct LunarMonthDay {
    int month = 0;
    int day = 0;
    bool leap = false;

    static std::optional<LunarMonthDay> parse(const QString &text);
    QString toText() const;
    /// "闰四月三十", "正月初一", "腊月廿九".
    QString chineseName() const;
};

/// Where a lunar month and day falls in one lunar year.
struct LunarOccurrence {
    QDate date;                // invalid: see error
    bool leapFellBack = false; // that year has no such leap month: the ordinary one
    bool dayFellBack = false;  // day 30 in a month of 29 days: the 29th
    QString error;
};

/// Gregorian and lunar dates, by the system's lunar-date library, loaded on
/// the first conversion so that the board pays nothing for it until a lunar
/// memo needs it. Its range is the lunar years 1900 to 2100.
namespace LunarCalendar {

/// Empty when the library can be used, else why not.
QString unavailableReason();

std::optional<LunarDay> fromGregorian(const QDate &date);
/// Invalid when the lunar year has no such day (day 30 of a short month, a
/// leap month it does not have) or lies outside the range.
QDate toGregorian(const LunarDay &day);

/// The day in lunar year year: a leap month the year lacks falls back to
/// the ordinary month, and day 30 of a 29-day month to the 29th.
LunarOccurrence occurrenceIn(int year, const LunarMonthDay &monthDay);
/// The first occurrence on or after from.
LunarOccurrence nextOnOrAfter(const LunarMonthDay &monthDay, const QDate &from);
/// The last occurrence before before.
LunarOccurrence lastBefore(const LunarMonthDay &monthDay, const QDate &before);

} // namespace LunarCalendar
