// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// Balloon messages on the program's tray icon.
class Balloons {
public:
    virtual ~Balloons() = default;
    /// iconFlags 1 is the information icon, the one every caller passes.
    virtual void ShowBubble(const QString &title, const QString &text, int iconFlags) = 0;
};
