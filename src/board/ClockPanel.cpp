// SPDX-License-Identifier: MIT
#include "board/ClockPanel.h"

#include "common/ProcessValues.h"
#include "platform/Clock.h"
#include "platform/ShutdownRunner.h"

QString PeriodName(int hour) {
    static const char16_t *const names[] = {u"子时", u"丑时", u"寅时", u"卯时", u"辰时", u"巳时",
                                            u"午时", u"未时", u"申时", u"酉时", u"戌时", u"亥时"};
    if (hour < 0 || hour > 23)
        return QString();
    // Each period starts at an odd hour: 23-0 子, 1-2 丑, ... 21-22 亥.
    return QString::fromUtf16(names[((hour + 1) / 2) % 12]);
}

QString WeekdayName(int dayOfWeek) {
    static const char16_t *const names[] = {u"星期一", u"星期二", u"星期三", u"星期四",
                                            u"星期五", u"星期六", u"星期日"};
    if (dayOfWeek < 1 || dayOfWeek > 7)
        return QString();
    return QString::fromUtf16(names[dayOfWeek - 1]);
}

namespace {
// "HH:mm:ss" by hand: the clock writes it every second, and the general
// formatter costs it more than all the rest of the tick.
QString timeText(const QTime &time) {
    const int fields[] = {time.hour(), time.minute(), time.second()};
    QString text(8, u':');
    for (int i = 0; i < 3; ++i) {
        text[i * 3] = QChar(u'0' + fields[i] / 10);
        text[i * 3 + 1] = QChar(u'0' + fields[i] % 10);
    }
    return text;
}

QString dateText(const QDate &date) {
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString weekdayAndPeriodText(const QDate &date, int hour) {
    return WeekdayName(date.dayOfWeek()) + u' ' + PeriodName(hour);
}
} // namespace

ClockTexts clockTextsAt(const QDateTime &moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    return {timeText(time), dateText(date), weekdayAndPeriodText(date, time.hour())};
}

QString ShutdownWarningText() {
    return QStringLiteral(
        "【Tackora】小助手提醒您：电脑即将关机，请及时保存手头工作！若要取消本次关机可点击菜单[取消关机]！");
}

ClockPanel::ClockPanel(const Clock &clock, ShutdownRunner &shutdown, const ProcessValues &values,
                       QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_shutdown(shutdown)
    , m_values(values) {}

void ClockPanel::tick() {
    const QDateTime now = m_clock.now();
    const QDate date = now.date();
    const QTime time = now.time();
    ClockTexts texts = m_texts;
    texts.time = timeText(time);
    // The date and the two-hour period change at most once an hour.
    if (date != m_textsDate || time.hour() != m_textsHour) {
        texts.date = dateText(date);
        texts.weekdayAndPeriod = weekdayAndPeriodText(date, time.hour());
        m_textsDate = date;
        m_textsHour = time.hour();
    }
    if (texts.time != m_texts.time || texts.date != m_texts.date ||
        texts.weekdayAndPeriod != m_texts.weekdayAndPeriod) {
        m_texts = texts;
        Q_EMIT textsChanged(m_texts);
    }
    const QString &shutdownTime = m_values.ShutdownTime;
    for (const QDateTime &second : m_ticker.advance(now)) {
        if (shutdownTime.isEmpty() || second.time().toString(QStringLiteral("HH:mm:ss")) != shutdownTime)
            continue;
        // A clock set back across the time must not shut down twice that day.
        if (m_lastShutdown.isValid() && m_lastShutdown.date() == second.date() &&
            m_lastShutdown.time() == second.time())
            continue;
        m_lastShutdown = second;
        m_shutdown.scheduleShutdown(ShutdownWarningText());
        Q_EMIT shutdownStarted(second);
    }
}
