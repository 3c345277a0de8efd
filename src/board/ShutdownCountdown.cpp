// SPDX-License-Identifier: MIT
#include "board/ShutdownCountdown.h"

#include "board/ClockPanel.h"
#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "platform/Clock.h"
#include "platform/ShutdownRunner.h"

#include <algorithm>

ShutdownCountdown::ShutdownCountdown(const Clock &clock, ShutdownRunner &shutdown, StatusLine &status,
                                     const ProcessValues &values, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_shutdown(shutdown)
    , m_status(status)
    , m_values(values) {}

void ShutdownCountdown::started(const QDateTime &at) {
    m_shutdownAt = at.addSecs(kWarningSeconds);
    Q_EMIT countdownStarted();
    Q_EMIT secondsLeftChanged(secondsLeft());
}

int ShutdownCountdown::secondsLeft() const {
    if (!isActive())
        return 0;
    return int(std::clamp<qint64>(m_clock.now().secsTo(m_shutdownAt), 0, kWarningSeconds));
}

void ShutdownCountdown::tick() {
    const QDateTime now = m_clock.now();
    if (m_postponedTo.isValid() && now >= m_postponedTo) {
        m_postponedTo = QDateTime();
        m_shutdown.scheduleShutdown(ShutdownWarningText());
        started(now);
        return;
    }
    if (!isActive())
        return;
    const int left = secondsLeft();
    Q_EMIT secondsLeftChanged(left);
    if (left == 0)
        end();
}

void ShutdownCountdown::postpone() {
    if (!isActive())
        return;
    m_shutdown.cancelShutdown();
    m_postponedTo = m_clock.now().addSecs(kPostponeSeconds);
    m_status.showStatus(QStringLiteral("关机已推迟10分钟，将于%1关机")
                            .arg(m_postponedTo.time().toString(QStringLiteral("HH:mm:ss"))));
    end();
}

void ShutdownCountdown::skipToday() {
    if (!isActive())
        return;
    m_shutdown.cancelShutdown();
    m_postponedTo = QDateTime();
    m_status.showStatus(m_values.ShutdownTime.isEmpty()
                            ? QStringLiteral("今天不关机")
                            : QStringLiteral("今天不关机，明天%1照常关机").arg(m_values.ShutdownTime));
    end();
}

void ShutdownCountdown::end() {
    m_shutdownAt = QDateTime();
    Q_EMIT countdownEnded();
}
