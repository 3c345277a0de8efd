// SPDX-License-Identifier: MIT
#include "calendar/DayWatch.h"

#include "platform/Clock.h"

DayWatch::DayWatch(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_today(clock.now().date()) {
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &DayWatch::check);
    m_timer.start();
}

void DayWatch::check() {
    const QDate today = m_clock.now().date();
    if (today == m_today)
        return;
    m_today = today;
    Q_EMIT dayChanged(today);
}
