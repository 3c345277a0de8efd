// SPDX-License-Identifier: MIT
#pragma once

#include "calendar/DayWatch.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class Clock;
class PaintedWhiteKey;

/// Q_WNL, "万年历", in the calendar program: a frameless window around the
/// calendar page wnl.dat, with the board's transparency levels. It opens
/// beside the board, moves by the page's header strip and asks to close on
/// Escape; the page follows the clock's date while it is open.
class CalendarWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarWindow)
public:
    /// Makes the page view.
    using ViewFactory = std::function<QWidget *(QWidget *parent)>;
    /// Why the window cannot be shown; the board's process tells the user.
    enum class LoadFailure { PageMissing, ViewMissing };

    CalendarWindow(QString pagePath, const Clock &clock, ViewFactory viewFactory, QWidget *parent = nullptr);

    /// Form_Load: loads the page and starts the timer of transparency level
    /// (F_transparent's, -1 opaque). The failed step when the page is missing
    /// or cannot be shown; the window is not to be shown then.
    std::optional<LoadFailure> load(int level);

    /// Timer1(index): applies transparency level index 0..2 in 10 ms.
    void startTimer1(int index);

    /// Moves the window beside the board (its frame), on the board's screen,
    /// covering none of it where the screen has room.
    void placeBeside(const QRect &boardFrame);

    QWidget *view() const { return m_view; }

Q_SIGNALS:
    /// Escape, or the window manager's close: the calendar is to close as
    /// the board's "D" closes it.
    void closeRequested();
    /// Timer1(level) ran.
    void levelApplied(int level);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void runTimer1(int index);
    void showToday(QDate today);

    QString m_pagePath;
    DayWatch m_day;
    ViewFactory m_viewFactory;
    QWidget *m_view = nullptr;
    PaintedWhiteKey *m_whiteKey = nullptr;
    std::array<QTimer, 3> m_timer1;
};
