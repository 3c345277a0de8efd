// SPDX-License-Identifier: MIT
#pragma once

#include "calendar/CalendarProtocol.h"

#include <QObject>
#include <QRect>

#include <memory>

class Clock;
class CalendarWindow;
class QSocketNotifier;

/// The calendar program's side of the channel: reads the board's requests
/// from input, shows the window, and answers on output (see
/// CalendarProtocol). The end of input ends the program, as "quit" does.
class CalendarChild final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarChild)
public:
    CalendarChild(int input, int output, const Clock &clock, QObject *parent = nullptr);
    ~CalendarChild() override;

    /// Tells the board the program runs.
    void start();

private:
    void readRequests();
    void handle(const CalendarProtocol::Message &request);
    void show();
    void answer(const QByteArray &verb, const QByteArray &argument = QByteArray());
    void quit();

    int m_input;
    int m_output;
    const Clock &m_clock;
    QSocketNotifier *m_notifier;
    CalendarProtocol::LineBuffer m_requests;
    QString m_pagePath;
    QString m_holidaysPath;
    QRect m_boardFrame;
    int m_level = -1;
    std::unique_ptr<CalendarWindow> m_window;
};
