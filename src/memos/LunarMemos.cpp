// SPDX-License-Identifier: MIT
#include "memos/LunarMemos.h"

#include "memos/MemoRecord.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

namespace {
const QString kMemo = QStringLiteral("MEMO");
} // namespace

QString lunarKey(int number) {
    return QStringLiteral("L%1").arg(number);
}

LunarOccurrence lunarRecordDay(const LunarMonthDay &monthDay, const QDate &today) {
    const LunarOccurrence next = LunarCalendar::nextOnOrAfter(monthDay, today);
    if (!next.date.isValid() || next.date.year() == today.year())
        return next;
    const QDate sameDayThisYear(today.year(), next.date.month(), next.date.day());
    if (sameDayThisYear.isValid() && sameDayThisYear < today)
        return next;
    const LunarOccurrence last = LunarCalendar::lastBefore(monthDay, today);
    // A Gregorian year can lack the lunar day altogether; then only the next
    // one is left.
    return last.date.isValid() && last.date.year() == today.year() ? last : next;
}

std::optional<bool> isLunarMemoDay(const MemoSlot &slot, const QDate &day) {
    if (!slot.lunar)
        return std::nullopt;
    const std::optional<LunarDay> lunarDay = LunarCalendar::fromGregorian(day);
    if (!lunarDay)
        return std::nullopt;
    const LunarOccurrence occurrence = LunarCalendar::occurrenceIn(lunarDay->year, *slot.lunar);
    if (!occurrence.date.isValid())
        return std::nullopt;
    return occurrence.date == day;
}

LunarMemos::LunarMemos(const SettingsFile &settings)
    : m_settings(settings) {}

bool LunarMemos::follow(const QDate &today, QString *error) {
    if (today == m_lastDay)
        return false;
    m_lastDay = today;
    return update(today, error);
}

bool LunarMemos::update(const QDate &today, QString *error) {
    bool changed = false;
    for (int n = 0; n < kMemoCount; ++n) {
        const std::optional<LunarMonthDay> monthDay =
            LunarMonthDay::parse(m_settings.ReadSetting(kMemo, lunarKey(n)));
        if (!monthDay)
            continue;
        const QString record = m_settings.ReadSetting(kMemo, memoKey(n));
        QStringList pieces = record.split(u'|');
        // A record changed to another period elsewhere is no lunar memo any more.
        if (pieces.size() < 3 || trimBlanks(pieces[1]) != u"年")
            continue;
        const LunarOccurrence day = lunarRecordDay(*monthDay, today);
        QString failure = day.error;
        if (day.date.isValid()) {
            const QString date = day.date.toString(QStringLiteral("MM-dd"));
            if (trimBlanks(pieces[2]) == date)
                continue;
            pieces[2] = date;
            if (m_settings.WriteSetting(kMemo, memoKey(n), pieces.join(u'|'), &failure)) {
                changed = true;
                continue;
            }
        }
        if (error)
            error->append(QStringLiteral("便笺[%1]的农历日期未能换算：%2\n").arg(n).arg(failure));
    }
    return changed;
}
