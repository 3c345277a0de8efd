// SPDX-License-Identifier: MIT
#pragma once

#include "common/SecondTicker.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class Clock;
class ShutdownRunner;
struct ProcessValues;

/// The three texts of the clock panel.
struct ClockTexts {
    QString time;             // "09:05:07"
    QString date;             // "2017年3月18日"
    QString weekdayAndPeriod; // "星期五 子时"
};

/// The traditional two-hour period of an hour 0 to 23 ("子时" for 23 and 0).
QString PeriodName(int hour);

/// "星期一" .. "星期日" for Qt's day of week 1 (Monday) .. 7 (Sunday).
QString WeekdayName(int dayOfWeek);

ClockTexts clockTextsAt(const QDateTime &moment);

/// The warning the shutdown command shows; it names the menu entry that
/// cancels the shutdown.
QString ShutdownWarningText();

/// The clock panel's once-a-second work: the texts, and the timed shutdown
/// when the clock reaches ShutdownTime.
class ClockPanel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockPanel)
public:
    ClockPanel(const Clock &clock, ShutdownRunner &shutdown, const ProcessValues &values,
               QObject *parent = nullptr);

    const ClockTexts &texts() const { return m_texts; }

    /// One tick: new texts, then the timed shutdown for every second since
    /// the previous tick, so a late tick cannot miss it and it runs once for
    /// each day's time.
    void tick();

Q_SIGNALS:
    void textsChanged(const ClockTexts &texts);
    /// The timed shutdown command ran for the second at.
    void shutdownStarted(const QDateTime &at);

private:
    const Clock &m_clock;
    ShutdownRunner &m_shutdown;
    const ProcessValues &m_values;
    ClockTexts m_texts;
    QDate m_textsDate; // what m_texts.date and the period were made for
    int m_textsHour = -1;
    SecondTicker m_ticker;
    QDateTime m_lastShutdown;
};
