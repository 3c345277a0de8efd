// SPDX-License-Identifier: MIT
#include "memos/MemoScheduler.h"

#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "memos/LunarMemos.h"
#include "memos/MemoSlots.h"
#include "platform/Balloons.h"
#include "platform/Clock.h"
#include "platform/SoundPlayer.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Up to this many seconds a late tick catches up by itself (SecondTicker).
constexpr qint64 kLongestCatchUpSeconds = 60;

QDateTime wholeSecond(const QDateTime &moment) {
    QDateTime second = moment;
    second.setTime(QTime(moment.time().hour(), moment.time().minute(), moment.time().second()));
    return second;
}

// "2026-01-10" and the like: a real day of that year.
bool isCalendarDate(const QString &text) {
    const QStringList parts = text.split(u'-');
    if (parts.size() != 3)
        return false;
    int numbers[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].isEmpty() || parts[i].size() > 4)
            return false;
    }
    return QDate::isValid(numbers[0], numbers[1], numbers[2]);
}

} // namespace

MemoDay memoDayOf(const MemoSlot &slot, const QDate &day) {
    const QString &p = slot.period;
    const QString &d = slot.date;
    if (p == u"年") {
        if (const std::optional<bool> lunarDay = isLunarMemoDay(slot, day))
            return *lunarDay ? MemoDay::Today : MemoDay::OtherDay;
        const QString date = QString::number(day.year()).rightJustified(4, u'0') + u'-' + d;
        if (!isCalendarDate(date))
            return MemoDay::DateFormatError;
        return date == day.toString(QStringLiteral("yyyy-MM-dd")) ? MemoDay::Today : MemoDay::OtherDay;
    }
    if (p == u"季") {
        const int month = day.month();
        if (month != 1 && month != 4 && month != 7 && month != 10)
            return MemoDay::OtherDay;
        return day.day() == leadingNumber(d) ? MemoDay::Today : MemoDay::OtherDay;
    }
    if (p == u"月")
        return day.day() == leadingNumber(d) ? MemoDay::Today : MemoDay::OtherDay;
    if (p == u"周")
        return day.dayOfWeek() == leadingNumber(d) ? MemoDay::Today : MemoDay::OtherDay;
    return MemoDay::Daily;
}

bool isDueAt(const MemoSlot &slot, const QDateTime &moment) {
    if (slot.enabled != 1 || !isValidTimeOfDay(slot.time))
        return false;
    // The time first: it matches one second a day, and the day costs more.
    if (moment.time().toString(QStringLiteral("HH:mm:ss")) != slot.time)
        return false;
    const MemoDay day = memoDayOf(slot, moment.date());
    return day == MemoDay::Today || day == MemoDay::Daily;
}

QString dateFormatMessage(int number) {
    return QStringLiteral("便笺[%1]提醒日期格式错误！请修正！").arg(number);
}

QString timeFormatMessage(int number) {
    return QStringLiteral("便笺[%1]提醒时间格式错误！请修正！").arg(number);
}

MemoScheduler::MemoScheduler(MemoSlots &slots, const Clock &clock, ProcessValues &values, SoundPlayer &sound,
                             StatusLine &status, QString appFolder, QObject *parent)
    : QObject(parent)
    , m_slots(slots)
    , m_clock(clock)
    , m_values(values)
    , m_sound(sound)
    , m_status(status)
    , m_appFolder(std::move(appFolder)) {
    // A memo switched off keeps no snooze.
    connect(&m_slots, &MemoSlots::slotChanged, this, [this](int number) {
        if (m_slots.slot(number).enabled != 1)
            dropSnooze(number);
    });
}

void MemoScheduler::Timer3_Timer() {
    tick(false);
}

void MemoScheduler::resumed() {
    tick(true);
}

void MemoScheduler::restore(const QDateTime &lastSeen, const MemoSnoozes &snoozes) {
    m_lastSecond = lastSeen;
    m_ticked = false;
    m_snoozes = snoozes;
    for (int n = 0; n < kMemoCount; ++n) {
        if (m_slots.slot(n).enabled != 1)
            m_snoozes[n] = QDateTime();
    }
    if (m_snoozes != snoozes)
        Q_EMIT snoozesChanged();
}

void MemoScheduler::snoozeFor(int number, int minutes) {
    const QDateTime when = wholeSecond(m_clock.now()).addSecs(qint64(minutes) * 60);
    m_snoozes[number] = when;
    m_status.showStatus(QStringLiteral("便笺[%1]将于 %2 再次提醒")
                            .arg(number)
                            .arg(when.toString(QStringLiteral("HH:mm:ss"))));
    Q_EMIT snoozesChanged();
}

void MemoScheduler::dropSnooze(int number) {
    if (!m_snoozes[number].isValid())
        return;
    m_snoozes[number] = QDateTime();
    Q_EMIT snoozesChanged();
}

void MemoScheduler::reportMissed(const QDateTime &from, const QDateTime &to) {
    std::array<MemoSlot, kMemoCount> slots;
    for (int n = 0; n < kMemoCount; ++n)
        slots[n] = m_slots.slot(n);
    const QList<MissedReminder> list = missedReminders(slots, from, to, m_snoozes);
    // Listed or too old to list, a snooze of that span has had its turn.
    takeSnoozesUpTo(to.addSecs(-1));
    if (list.isEmpty())
        return;
    m_status.showStatus(missedCountText(list.size()));
    if (m_values.notifyIcon)
        m_values.notifyIcon->ShowBubble(QStringLiteral("错过的提醒"), missedCountText(list.size()), 1);
    Q_EMIT missed(list);
}

void MemoScheduler::takeSnoozesUpTo(const QDateTime &moment) {
    bool changed = false;
    for (QDateTime &snooze : m_snoozes) {
        if (snooze.isValid() && snooze <= moment) {
            snooze = QDateTime();
            changed = true;
        }
    }
    if (changed)
        Q_EMIT snoozesChanged();
}

void MemoScheduler::tick(bool resumed) {
    const QDateTime now = m_clock.now();
    const QDateTime current = wholeSecond(now);
    // Seconds no tick saw: the program was not running, the machine slept,
    // or the clock jumped further than a late tick catches up.
    const qint64 gap = m_lastSecond.isValid() ? m_lastSecond.secsTo(current) : 0;
    const bool missedSpan = gap > 1 && (!m_ticked || resumed || gap > kLongestCatchUpSeconds);
    const QDateTime previous = m_lastSecond;
    m_lastSecond = current;
    m_ticked = true;
    if (missedSpan) {
        m_ticker = SecondTicker(); // its next tick considers the current second alone
        reportMissed(previous, current);
    }
    const QList<QDateTime> seconds = m_ticker.advance(now);
    QList<std::pair<QDateTime, int>> due;
    for (int n = 0; n < kMemoCount; ++n) {
        const MemoSlot &slot = m_slots.slot(n);
        if (slot.enabled != 1)
            continue;
        switch (memoDayOf(slot, now.date())) {
        case MemoDay::DateFormatError:
            m_status.showStatus(dateFormatMessage(n));
            continue;
        case MemoDay::OtherDay:
            m_slots.setTitleMark(n, TitleMark::OtherDay);
            continue;
        case MemoDay::Today:
            m_slots.setTitleMark(n, TitleMark::Today);
            break;
        case MemoDay::Daily:
            break;
        }
        if (!isValidTimeOfDay(slot.time)) {
            m_status.showStatus(timeFormatMessage(n));
            continue;
        }
        for (const QDateTime &second : seconds) {
            if (isDueAt(slot, second))
                due.append({second, n});
        }
    }
    bool snoozesTaken = false;
    for (int n = 0; n < kMemoCount; ++n) {
        QDateTime &snooze = m_snoozes[n];
        if (!snooze.isValid() || snooze > current)
            continue;
        const bool alsoDue =
            std::any_of(due.cbegin(), due.cend(), [n](const auto &entry) { return entry.second == n; });
        if (m_slots.slot(n).enabled == 1 && !alsoDue)
            due.append({snooze, n});
        snooze = QDateTime();
        snoozesTaken = true;
    }
    if (snoozesTaken)
        Q_EMIT snoozesChanged();
    std::stable_sort(due.begin(), due.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &entry : due)
        announce(entry.second);
    showNextView();
}

void MemoScheduler::setEditorOpen(bool open) {
    m_editorOpen = open;
    if (!open)
        showNextView();
}

void MemoScheduler::announce(int n) {
    // The balloon and the sound come at the memo's second even while an
    // editor is open; only its view window has to wait for that editor.
    m_slots.setCurrentMemo(n);
    if (m_values.notifyIcon)
        m_values.notifyIcon->ShowBubble(QStringLiteral("便笺提醒"),
                                        QStringLiteral("便笺[%1]设定提醒时间到，请及时处理事务!").arg(n), 1);
    Q_EMIT bodyRequested(n);
    const QString sound = memoSoundPath(m_appFolder, n);
    if (QFileInfo(sound).isFile())
        m_sound.playAsync(sound);
    m_views.append(n);
}

void MemoScheduler::showNextView() {
    if (m_editorOpen || m_views.isEmpty())
        return;
    const int n = m_views.takeFirst();
    if (m_slots.currentMemo() != n) {
        // Another memo fell due while this one waited: show this one again.
        m_slots.setCurrentMemo(n);
        Q_EMIT bodyRequested(n);
    }
    m_editorOpen = true;
    Q_EMIT viewEditorRequested(n);
}
