// SPDX-License-Identifier: MIT
#include "platform/QtTrayHost.h"

namespace {
constexpr int kRetryIntervalMs = 2000;
constexpr int kRetries = 60; // two minutes of waiting for the desktop's tray

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
    , m_icon(icon) {
    m_retry.setInterval(kRetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &QtTrayHost::retryShow);
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
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        m_retriesLeft = kRetries;
        m_retry.start();
    }
}

void QtTrayHost::retryShow() {
    if (!m_wanted || --m_retriesLeft <= 0) {
        m_retry.stop();
        return;
    }
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_retry.stop();
        m_icon.hide();
        m_icon.show();
    }
}

void QtTrayHost::setTip(const QString &tip) {
    m_icon.setToolTip(tip);
}

void QtTrayHost::showBalloon(const QString &title, const QString &text, int iconFlags) {
    if (title.isEmpty() && text.isEmpty())
        return; // nothing replaces a balloon on show but the next one
    m_icon.showMessage(title, text, balloonIcon(iconFlags));
}

void QtTrayHost::removeIcon() {
    m_wanted = false;
    m_retry.stop();
    m_icon.hide();
}
