// SPDX-License-Identifier: MIT
#include "shell/ShutdownHelper.h"

#include "board/ClockPanel.h"
#include "common/ProcessValues.h"
#include "platform/ShutdownRunner.h"
#include "platform/UserDialogs.h"
#include "settings/SettingRules.h"

#include <QDate>
#include <QRegularExpression>

int CountOccurrences(const QString &text, const QString &part) {
    if (part.isEmpty())
        return 0;
    QString without = text;
    without.remove(part);
    return static_cast<int>((text.size() - without.size()) / part.size());
}

namespace {

bool isTimeOfDay(const QString &text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?(?:\\s*([AaPp][Mm]))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const bool twelveHour = !match.captured(4).isEmpty();
    if (twelveHour ? (hour < 1 || hour > 12) : hour > 23)
        return false;
    return minute <= 59 && second <= 59;
}

bool isCalendarDate(const QString &text) {
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})([-/])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression yearLast(QStringLiteral("^(\\d{1,2})([-/])(\\d{1,2})\\2(\\d{4})$"));
    if (const auto match = yearFirst.match(text); match.hasMatch())
        return QDate::isValid(match.captured(1).toInt(), match.captured(3).toInt(),
                              match.captured(4).toInt());
    if (const auto match = yearLast.match(text); match.hasMatch())
        return QDate::isValid(match.captured(4).toInt(), match.captured(1).toInt(),
                              match.captured(3).toInt());
    return false;
}

} // namespace

bool isDateOrTime(const QString &text) {
    const QString trimmed = text.trimmed();
    if (isTimeOfDay(trimmed) || isCalendarDate(trimmed))
        return true;
    const qsizetype blank = trimmed.indexOf(u' ');
    return blank > 0 && isCalendarDate(trimmed.left(blank)) && isTimeOfDay(trimmed.mid(blank + 1).trimmed());
}

ShutdownInput checkShutdownInput(const QString &answer) {
    if (answer.isEmpty())
        return ShutdownInput::Empty;
    if (!isDateOrTime(answer))
        return ShutdownInput::NotATime;
    // The clock compares its own "HH:mm:ss": any other form would never fire.
    if (!SettingRules::isClockTime(answer))
        return ShutdownInput::WrongFormat;
    return ShutdownInput::Accepted;
}

ShutdownHelper::ShutdownHelper(UserDialogs &dialogs, ShutdownRunner &runner, ProcessValues &values)
    : m_dialogs(dialogs)
    , m_runner(runner)
    , m_values(values) {}

void ShutdownHelper::App_Shuttime_Click() {
    const QString answer =
        askTrimmed(m_dialogs, QStringLiteral("请输入定时关机的时间（24小时制，格式：17:30:00）："),
                   QStringLiteral("【定时关机】"));
    switch (checkShutdownInput(answer)) {
    case ShutdownInput::Empty:
        return;
    case ShutdownInput::NotATime:
        m_dialogs.message(QStringLiteral("自动关机时间格式有误！请重试！"), QStringLiteral("提示"),
                          MessageIcon::Warning);
        return;
    case ShutdownInput::WrongFormat:
        m_dialogs.message(QStringLiteral("时间格式有误！请重试！（例子：17:30:00）"), QStringLiteral("提示"),
                          MessageIcon::Warning);
        return;
    case ShutdownInput::Accepted:
        break;
    }
    m_values.ShutdownTime = answer;
    m_dialogs.message(QStringLiteral("电脑将于") + answer +
                          QStringLiteral("关机！若想固定每天自动关机时间，请到[软件设置]进行设定！"),
                      QStringLiteral("提示"), MessageIcon::Information);
}

void ShutdownHelper::App_ShutGJ_Click() {
    m_runner.scheduleShutdown(ShutdownWarningText());
}

void ShutdownHelper::App_ShutQX_Click() {
    m_runner.cancelShutdown();
}
