// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

#include <thread>

/// The Song face the board is designed in ("宋体"/"SimSun") does not exist on
/// Linux; it is substituted by the Noto CJK faces. Call before the first
/// text is drawn.
void installFontSubstitutions();

/// "宋体" at pointSize, bold when asked (thickened from the regular cut).
QFont songFont(double pointSize, bool bold = false);

/// Reads the system's font configuration and font list on a thread of its
/// own while the program starts: that takes about ten milliseconds, and the
/// first text the board lays out would otherwise wait for all of it. Qt's font
/// database lets one thread load it while the other waits, so the board waits
/// only for what is left. Make it after the application object and after the
/// last change the start makes to the environment, which the load reads.
class FontDatabaseWarmUp {
public:
    FontDatabaseWarmUp();
    ~FontDatabaseWarmUp();
    FontDatabaseWarmUp(const FontDatabaseWarmUp &) = delete;
    FontDatabaseWarmUp &operator=(const FontDatabaseWarmUp &) = delete;

private:
    std::thread m_thread;
};
