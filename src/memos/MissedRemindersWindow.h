// SPDX-License-Identifier: MIT
#pragma once

#include "memos/MissedReminders.h"

#include <QWidget>

class QListWidget;

/// "错过的提醒": the reminders that fell due while the program was away, one
/// line per memo with its due time, newest first. A click on a line, or Enter
/// on it, asks for that memo. Modeless; a later batch joins the list.
class MissedRemindersWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MissedRemindersWindow)
public:
    explicit MissedRemindersWindow(QWidget *parent = nullptr);

    /// Lists reminders beside those listed: each memo once, its latest time.
    void add(const QList<MissedReminder> &reminders);
    const QList<MissedReminder> &reminders() const { return m_reminders; }
    QListWidget *list() const { return m_list; }

    /// The line of one reminder: "2026-12-10 08:30:00  便笺[2] 交房租".
    static QString lineOf(const MissedReminder &reminder);

Q_SIGNALS:
    void memoRequested(int number);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<MissedReminder> m_reminders;
    QListWidget *m_list = nullptr;
};
