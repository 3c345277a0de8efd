// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// What the program accepts in the values of setup.ini it acts on, whoever
/// takes them in: the settings window, the program menu or a hand edit read
/// at start.
namespace SettingRules {

/// "hh:mm:ss" exactly as the clock shows it: two ASCII digits each, hours 00
/// to 23, minutes and seconds 00 to 59. Any other text could never equal the
/// clock, so a shutdown at it would never come.
bool isClockTime(const QString &text);

/// A category caption that can name its folder under the file-box root: not
/// empty, no "|", "/" or "\", and neither "." nor "..", so that the folder
/// stays one level below the root.
bool isFolderCaption(const QString &caption);

} // namespace SettingRules
