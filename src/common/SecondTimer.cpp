// SPDX-License-Identifier: MIT
#include "common/SecondTimer.h"

#include <QDateTime>

namespace {
// Wake a little after the second starts so the clock already shows it.
constexpr int kMarginMs = 5;
} // namespace

SecondTimer::SecondTimer(QObject *parent)
    : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        scheduleNext();
        Q_EMIT tick();
    });
}

void SecondTimer::start() {
    scheduleNext();
}

void SecondTimer::stop() {
    m_timer.stop();
}

void SecondTimer::scheduleNext() {
    const int intoSecond = static_cast<int>(QDateTime::currentMSecsSinceEpoch() % 1000);
    m_timer.start(1000 - intoSecond + kMarginMs);
}
