// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class ShutdownRunner;
class UserDialogs;
struct ProcessValues;

/// How many times part occurs in text.
int CountOccurrences(const QString &text, const QString &part);

/// True when text reads as a date, a time of day, or both ("17:30:00",
/// "7:30", "2018-1-1", "2018/3/5 17:30"); hours 0 to 23, minutes and seconds
/// 0 to 59, real calendar days.
bool isDateOrTime(const QString &text);

/// The verdict on a typed shutdown time.
enum class ShutdownInput {
    Empty,       // nothing typed, or Cancel: nothing happens
    NotATime,    // not a date or time at all
    WrongFormat, // a date or time, but not "hh:mm:ss" as the clock shows it
    Accepted,
};
ShutdownInput checkShutdownInput(const QString &answer);

/// The "关机助手" submenu: shut down now, cancel, or at a time of day. The time
/// is kept for this run only and fires daily through the clock panel.
class ShutdownHelper final {
public:
    ShutdownHelper(UserDialogs &dialogs, ShutdownRunner &runner, ProcessValues &values);

    void App_Shuttime_Click();
    void App_ShutGJ_Click();
    void App_ShutQX_Click();

private:
    UserDialogs &m_dialogs;
    ShutdownRunner &m_runner;
    ProcessValues &m_values;
};
