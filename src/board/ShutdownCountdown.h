// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class Clock;
class ShutdownRunner;
class StatusLine;
struct ProcessValues;

/// The minute between a timed shutdown command and the shutdown, and what
/// the user chooses in it: postpone ten minutes (cancel now, run the command
/// again ten minutes after the click) or no shutdown today (cancel; the
/// daily time fires again tomorrow). Choosing nothing lets it run.
class ShutdownCountdown final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShutdownCountdown)
public:
    static constexpr int kWarningSeconds = 60;
    static constexpr int kPostponeSeconds = 10 * 60;

    ShutdownCountdown(const Clock &clock, ShutdownRunner &shutdown, StatusLine &status,
                      const ProcessValues &values, QObject *parent = nullptr);

    /// The shutdown command ran at at: the countdown starts.
    void started(const QDateTime &at);
    /// Once a second: the seconds left, and the postponed command when its
    /// time has come.
    void tick();

    bool isActive() const { return m_shutdownAt.isValid(); }
    int secondsLeft() const;
    /// When the postponed command runs; invalid when none waits.
    const QDateTime &postponedTo() const { return m_postponedTo; }

    void postpone();
    void skipToday();

Q_SIGNALS:
    void countdownStarted();
    void secondsLeftChanged(int seconds);
    /// The countdown is over: the time ran out or a choice was made.
    void countdownEnded();

private:
    void end();

    const Clock &m_clock;
    ShutdownRunner &m_shutdown;
    StatusLine &m_status;
    const ProcessValues &m_values;
    QDateTime m_shutdownAt;
    QDateTime m_postponedTo;
};
