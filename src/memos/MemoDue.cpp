// SPDX-License-Identifier: MIT
#include "memos/MemoDue.h"

#include "memos/MemoScheduler.h"

namespace {
// Eight years hold two leap days whatever the start.
constexpr int kDaysSearched = 8 * 366 + 1;
} // namespace

NextDue nextDue(const MemoSlot &slot, int number, const QDateTime &after) {
    if (slot.enabled != 1)
        return {QDateTime(), QStringLiteral("reminder off")};
    if (!isValidTimeOfDay(slot.time))
        return {QDateTime(), timeFormatMessage(number)};
    const QTime time = QTime::fromString(slot.time, QStringLiteral("HH:mm:ss"));
    if (!time.isValid() || time.toString(QStringLiteral("HH:mm:ss")) != slot.time)
        return {QDateTime(),
                QStringLiteral("the clock shows hh:mm:ss with two digits each; %1 never equals it")
                    .arg(slot.time)};
    bool sawFormatError = false;
    for (int offset = 0; offset < kDaysSearched; ++offset) {
        const QDate day = after.date().addDays(offset);
        const MemoDay result = memoDayOf(slot, day);
        if (result == MemoDay::DateFormatError) {
            sawFormatError = true;
            continue;
        }
        if (result != MemoDay::Today && result != MemoDay::Daily)
            continue;
        const QDateTime candidate(day, time);
        if (candidate > after) {
            NextDue due{candidate, QString()};
            if (sawFormatError)
                due.reason = QStringLiteral("until then: ") + dateFormatMessage(number);
            return due;
        }
    }
    if (sawFormatError)
        return {QDateTime(), dateFormatMessage(number)};
    if (slot.period == u"年")
        return {
            QDateTime(),
            QStringLiteral("the date %1 is not written MM-DD and never equals today's date").arg(slot.date)};
    return {QDateTime(),
            QStringLiteral("its day never comes (date %1 for period %2)").arg(slot.date, slot.period)};
}
