// SPDX-License-Identifier: MIT
#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class SettingsFile;
class UserDialogs;

/// Q_WNL, "万年历": a frameless window around the calendar page wnl.dat, with
/// the board's transparency levels.
class CalendarWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarWindow)
public:
    /// Makes the page view (from the calendar module in the program).
    using ViewFactory = std::function<QWidget *(QWidget *parent)>;

    CalendarWindow(QString pagePath, const SettingsFile &settings, UserDialogs &dialogs,
                   ViewFactory viewFactory, QWidget *parent = nullptr);

    /// Form_Load: loads the page and starts the transparency timer of
    /// F_transparent. False, after the message, when the page is missing or
    /// cannot be shown; the window is not to be shown then.
    bool load();

    /// Timer1(index): applies transparency level index 0..2 in 10 ms.
    void startTimer1(int index);

    QWidget *view() const { return m_view; }

    static QString missingPageMessage();
    /// AppFolder's wnl.dat, or the copy installed beside the program.
    static QString pagePathFor(const QString &appFolder, const QString &programFolder);

private:
    void runTimer1(int index);

    QString m_pagePath;
    const SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    ViewFactory m_viewFactory;
    QWidget *m_view = nullptr;
    std::array<QTimer, 3> m_timer1;
};

/// The factory of the calendar module beside the program, or nothing when
/// the module cannot be loaded.
CalendarWindow::ViewFactory calendarModuleFactory();
