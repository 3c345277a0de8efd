// SPDX-License-Identifier: MIT
#include "common/SecondTicker.h"

namespace {
constexpr qint64 kLongestCatchUpSeconds = 60;

QDateTime wholeSecond(const QDateTime &moment) {
    QDateTime second = moment;
    second.setTime(QTime(moment.time().hour(), moment.time().minute(), moment.time().second()));
    return second;
}
} // namespace

QList<QDateTime> SecondTicker::advance(const QDateTime &now) {
    const QDateTime current = wholeSecond(now);
    QList<QDateTime> seconds;
    const qint64 gap = m_last.isValid() ? m_last.secsTo(current) : -1;
    if (gap == 0)
        return seconds;
    if (gap < 0 || gap > kLongestCatchUpSeconds) {
        seconds.append(current);
    } else {
        for (qint64 step = 1; step <= gap; ++step)
            seconds.append(m_last.addSecs(step));
    }
    m_last = current;
    return seconds;
}
