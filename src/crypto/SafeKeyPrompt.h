// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class SettingsFile;
class UserDialogs;
struct ProcessValues;

/// What the safe's key question led to.
enum class SafeKeyOutcome {
    Cancelled,    // empty answer or Cancel: nothing happens
    OpenSafe,     // the key is right
    OpenSettings, // no key is stored: after the warning, the settings window
    WrongKey,     // after the error message, nothing
};

/// Who asks: the board's safe tile and the menu word their warning a little
/// differently.
enum class SafeKeyAsker { SafeTile, Menu };

/// The question "请输入安全密匙：" of the safe's tile and the menu's safe entry,
/// with the warning or error its answer calls for. The answer is checked
/// against setup.ini, where another copy or tackora-cli may have set a key
/// since the start: a right answer makes that key the one the safe and the
/// drops use from then on (values.SecurityKey).
SafeKeyOutcome AskSafeKey(UserDialogs &dialogs, const SettingsFile &settings, ProcessValues &values,
                          SafeKeyAsker asker);
