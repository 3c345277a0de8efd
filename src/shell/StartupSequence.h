// SPDX-License-Identifier: MIT
#pragma once

class SettingsFile;
class SingleInstance;
class UserDialogs;
struct ProcessValues;

/// The start-up chain up to showing the board: refuses a second copy (with
/// its message, after asking the running copy to show itself), creates the
/// plugin folder, writes every default when setup.ini is missing (else says
/// once when the file is not the GBK it is read as, and reads the user
/// password and the daily shutdown time), and builds the master key. False
/// when the program must end now.
bool RunStartupSequence(SingleInstance &instance, UserDialogs &dialogs, const SettingsFile &settings,
                        ProcessValues &values);
