// SPDX-License-Identifier: MIT
#include "platform/QtTrayHost.h"

namespace {
// Qt tells of no tray coming or going: it is asked, now and then (each
// answer may cost a round trip to the X server or the session bus).
constexpr int kWatchIntervalMs = 2000;

QSystemTrayIcon::MessageIcon balloonIcon(int iconFlags) {
    switch (iconFlags) {
    case 1:
        return QSystemTrayIcon::Information;
    case 2:
        return QSystemTrayIcon::Warning;
    case 3:
        return QSystemTrayIcon::Critical;
    default:
        return QSystemTrayIcon::NoIcon;
    }
}
} // namespace

QtTrayHost::QtTrayHost(const QIcon &icon, QObject *parent)
    : TrayHost(parent)
    , m_icon(icon)
    , m_notifications(icon.pixmap(48).toImage(), QStringLiteral("org.tackora.Tackora")) {
    // A service that refuses a balloon leaves it to the tray.
    connect(&m_notifications, &DesktopNotifications::failed, this,
            [this](const QString &title, const QString &text, int iconFlags) {
                m_icon.showMessage(title, text, balloonIcon(iconFlags));
            });
    setAvailable(QSystemTrayIcon::isSystemTrayAvailable());
    m_watch.setInterval(kWatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &QtTrayHost::checkAvailability);
    m_watch.start();
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Every release of the left button is a click: the second click of a
        // quick pair arrives as DoubleClick and toggles the board again.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT leftClicked();
        else if (reason == QSystemTrayIcon::Context)
            Q_EMIT rightClicked();
    });
}

void QtTrayHost::showIcon(const QString &tip) {
    m_wanted = true;
    m_icon.setToolTip(tip);
    m_icon.show();
}

void QtTrayHost::checkAvailability() {
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (available && !isAvailable() && m_wanted) {
        // A tray that came: the icon goes into it.
        m_icon.hide();
        m_icon.show();
    }
    setAvailable(available);
}

void QtTrayHost::setTip(const QString &tip) {
    m_icon.setToolTip(tip);
}

void QtTrayHost::showBalloon(const QString &title, const QString &text, int iconFlags) {
    if (title.isEmpty() && text.isEmpty())
        return; // nothing replaces a balloon on show but the next one
    if (!m_notifications.notify(title, text, iconFlags))
        m_icon.showMessage(title, text, balloonIcon(iconFlags));
}

void QtTrayHost::removeIcon() {
    m_wanted = false;
    m_icon.hide();
}
