// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class Balloons;

/// The values that live for the whole run, created once in main and passed by
/// reference to whoever reads or changes them.
struct ProcessValues {
    /// The user password exactly as stored; empty means none.
    QString UserPassword;
    /// Empty, or the time of day "hh:mm:ss" of the daily shutdown.
    QString ShutdownTime;
    /// Seals the security key in setup.ini; never shown or stored.
    QString MasterKey;
    /// The stored form of the security key, or empty.
    QString SecurityKey;
    /// Wrong answers to the security key's recovery question in this run;
    /// three block recovery until the next start.
    int WrongAnswers = 0;
    /// The tray icon's balloons, once the board has added the icon.
    Balloons *notifyIcon = nullptr;
};
