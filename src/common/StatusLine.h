// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// The board's status line at its foot: memos and the file box report there.
class StatusLine {
public:
    virtual ~StatusLine() = default;
    virtual void showStatus(const QString &text) = 0;
};
