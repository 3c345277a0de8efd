// SPDX-License-Identifier: MIT
#pragma once

#include "calendar/DayWatch.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class Clock;
class PaintedWhiteKey;
class SettingsFile;
class UserDialogs;

/// Q_WNL, "万年历": a frameless window around the calendar page wnl.dat, with
/// the board's transparency levels. It opens beside the board, moves by the
/// page's header strip and asks to close on Escape; the page follows the
/// clock's date while it is open.
class CalendarWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarWindow)
public:
    /// Makes the page view (from the calendar module in the program).
    using ViewFactory = std::function<QWidget *(QWidget *parent)>;

    CalendarWindow(QString pagePath, const SettingsFile &settings, UserDialogs &dialogs, const Clock &clock,
                   ViewFactory viewFactory, QWidget *parent = nullptr);

    /// Form_Load: loads the page and starts the transparency timer of
    /// F_transparent. False, after the message, when the page is missing or
    /// cannot be shown; the window is not to be shown then.
    bool load();

    /// Timer1(index): applies transparency level index 0..2 in 10 ms.
    void startTimer1(int index);

    /// Moves the window beside the board (its frame), on the board's screen,
    /// covering none of it where the screen has room.
    void placeBeside(const QRect &boardFrame);

    QWidget *view() const { return m_view; }

    static QString missingPageMessage();
    /// AppFolder's wnl.dat, or the copy installed beside the program.
    static QString pagePathFor(const QString &appFolder, const QString &programFolder);

Q_SIGNALS:
    /// Escape: the calendar is to close as the board's "D" closes it.
    void closeRequested();

private:
    void runTimer1(int index);
    void showToday(QDate today);

    QString m_pagePath;
    const SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    DayWatch m_day;
    ViewFactory m_viewFactory;
    QWidget *m_view = nullptr;
    PaintedWhiteKey *m_whiteKey = nullptr;
    std::array<QTimer, 3> m_timer1;
};

/// The factory of the calendar module beside the program, or nothing when
/// the module cannot be loaded.
CalendarWindow::ViewFactory calendarModuleFactory();
