// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Balloons.h"

#include <QString>

class TrayHost;

/// The program's single icon in the tray: added with the board's caption as
/// its tip, balloons on it, removed at the end of the run. Texts are cut to
/// the sizes the Windows tray takes (tip 127 bytes, balloon text 255, title
/// 63, in the ANSI code page), never in the middle of a character.
class CQLNotifyIcon final : public Balloons {
public:
    explicit CQLNotifyIcon(TrayHost &host);
    ~CQLNotifyIcon() override;
    CQLNotifyIcon(const CQLNotifyIcon &) = delete;
    CQLNotifyIcon &operator=(const CQLNotifyIcon &) = delete;

    void AddNotifyIcon(const QString &tipText);
    void ModifyNotifyIcon(const QString &tipText);
    void ShowBubble(const QString &title, const QString &text, int iconFlags) override;
    void HideBubble();
    void DeleteNotifyIcon();

    bool isAdded() const { return m_added; }

    /// text cut to at most maxBytes in the ANSI code page.
    static QString cutToAnsiBytes(const QString &text, qsizetype maxBytes);

private:
    TrayHost &m_host;
    bool m_added = false;
};
