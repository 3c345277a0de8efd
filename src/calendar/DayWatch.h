// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QObject>
#include <QTimer>

class Clock;

/// Tells when the clock's date changes: at midnight, or when the clock is
/// set. It looks once a second, so a suspended machine or a changed clock is
/// noticed as soon as it runs again.
class DayWatch final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DayWatch)
public:
    explicit DayWatch(const Clock &clock, QObject *parent = nullptr);

    /// The date last seen.
    QDate today() const { return m_today; }

    /// Compares the clock's date with the one last seen.
    void check();

Q_SIGNALS:
    void dayChanged(QDate today);

private:
    const Clock &m_clock;
    QDate m_today;
    QTimer m_timer;
};
