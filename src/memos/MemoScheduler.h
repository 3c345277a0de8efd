// SPDX-License-Identifier: MIT
#pragma once

#include "common/SecondTicker.h"
#include "memos/MemoRecord.h"
#include "memos/MissedReminders.h"

#include <QDateTime>
#include <QList>
#include <QObject>

class Clock;
class MemoSlots;
class SoundPlayer;
class StatusLine;
struct ProcessValues;

/// Where a memo stands on a date.
enum class MemoDay {
    Today,           // its date is that day
    OtherDay,        // it is not
    Daily,           // no date: every day
    DateFormatError, // a yearly date that is no date in that year
};

/// The date test of a memo's period and date on day.
MemoDay memoDayOf(const MemoSlot &slot, const QDate &day);

/// True when an enabled memo falls due at the second moment.
bool isDueAt(const MemoSlot &slot, const QDateTime &moment);

/// The status-line messages of a memo's format errors.
QString dateFormatMessage(int number);
QString timeFormatMessage(int number);

/// The once-a-second reminder check over the memo slots: marks the titles of
/// today's memos, reports format errors on the status line, and announces a
/// memo whose second has come (balloon, body in the preview, its sound, the
/// editor in view mode). Each tick considers every second since the last
/// one, so a late tick loses no reminder. A due memo's balloon and sound
/// come at its second; its view window waits while an editor is open, and
/// memos due together are shown one after the other, each once. What fell
/// due while the program was away (before its first tick, during a sleep,
/// across a jump of more than a minute) is listed as missed instead; a
/// snoozed memo is announced again at its moment.
class MemoScheduler final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoScheduler)
public:
    MemoScheduler(MemoSlots &slots, const Clock &clock, ProcessValues &values, SoundPlayer &sound,
                  StatusLine &status, QString appFolder, QObject *parent = nullptr);

    void Timer3_Timer();
    /// The machine woke from a sleep: what fell due meanwhile is missed, even
    /// within the minute a late tick catches up.
    void resumed();

    /// Where the previous run stopped (its last second seen, invalid when
    /// unknown) and the snoozes it left: the first tick lists what fell due
    /// in between. Snoozes of memos that are off go.
    void restore(const QDateTime &lastSeen, const MemoSnoozes &snoozes);
    /// The last second the ticks considered.
    QDateTime lastSeen() const { return m_lastSecond; }

    /// "稍后提醒": memo number is announced again minutes from now, once.
    void snoozeFor(int number, int minutes);
    /// The memo was edited: its snooze goes.
    void dropSnooze(int number);
    const MemoSnoozes &snoozes() const { return m_snoozes; }

    /// Whoever opens or closes the memo editor says so: view windows wait
    /// for a closed editor.
    void setEditorOpen(bool open);
    bool isEditorOpen() const { return m_editorOpen; }

    /// Memos announced whose view window waits for the open editor.
    qsizetype pending() const { return m_views.size(); }

Q_SIGNALS:
    /// Load memo number's body into the preview, when it has one.
    void bodyRequested(int number);
    /// Open the editor on memo number in view mode.
    void viewEditorRequested(int number);
    /// Memos that fell due while no tick saw them; never empty.
    void missed(const QList<MissedReminder> &reminders);
    /// A snooze was set, came or went: the caller stores snoozes().
    void snoozesChanged();

private:
    void tick(bool resumed);
    void reportMissed(const QDateTime &from, const QDateTime &to);
    void takeSnoozesUpTo(const QDateTime &moment);
    void announce(int number);
    void showNextView();

    MemoSlots &m_slots;
    const Clock &m_clock;
    ProcessValues &m_values;
    SoundPlayer &m_sound;
    StatusLine &m_status;
    QString m_appFolder;
    SecondTicker m_ticker;
    QList<int> m_views;
    bool m_editorOpen = false;
    QDateTime m_lastSecond;
    bool m_ticked = false;
    MemoSnoozes m_snoozes;
};
