// SPDX-License-Identifier: MIT
#include "shell/CQLNotifyIcon.h"

#include "common/AnsiCodec.h"
#include "platform/TrayHost.h"

namespace {
// The fields of the Windows icon record, less their NUL.
constexpr qsizetype kTipBytes = 127;
constexpr qsizetype kBalloonTextBytes = 255;
constexpr qsizetype kBalloonTitleBytes = 63;
} // namespace

CQLNotifyIcon::CQLNotifyIcon(TrayHost &host)
    : m_host(host) {}

CQLNotifyIcon::~CQLNotifyIcon() {
    DeleteNotifyIcon();
}

QString CQLNotifyIcon::cutToAnsiBytes(const QString &text, qsizetype maxBytes) {
    const QByteArray bytes = AnsiCodec::encode(text);
    if (bytes.size() <= maxBytes)
        return text;
    return AnsiCodec::decode(AnsiCodec::cutToBytes(bytes, maxBytes));
}

void CQLNotifyIcon::AddNotifyIcon(const QString &tipText) {
    m_host.showIcon(cutToAnsiBytes(tipText, kTipBytes));
    m_added = true;
}

void CQLNotifyIcon::ModifyNotifyIcon(const QString &tipText) {
    m_host.setTip(cutToAnsiBytes(tipText, kTipBytes));
}

void CQLNotifyIcon::ShowBubble(const QString &title, const QString &text, int iconFlags) {
    m_host.showBalloon(cutToAnsiBytes(title, kBalloonTitleBytes), cutToAnsiBytes(text, kBalloonTextBytes),
                       iconFlags);
}

void CQLNotifyIcon::HideBubble() {
    m_host.showBalloon(QString(), QString(), 0);
}

void CQLNotifyIcon::DeleteNotifyIcon() {
    if (!m_added)
        return;
    m_added = false;
    m_host.removeIcon();
}
