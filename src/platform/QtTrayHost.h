// SPDX-License-Identifier: MIT
#pragma once

#include "platform/TrayHost.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

/// The tray icon on QSystemTrayIcon. At log-in the desktop's tray may come up
/// after the program; the icon is then shown once it does.
class QtTrayHost final : public TrayHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtTrayHost)
public:
    explicit QtTrayHost(const QIcon &icon, QObject *parent = nullptr);

    void showIcon(const QString &tip) override;
    void setTip(const QString &tip) override;
    void showBalloon(const QString &title, const QString &text, int iconFlags) override;
    void removeIcon() override;

private:
    void retryShow();

    QSystemTrayIcon m_icon;
    QTimer m_retry;
    int m_retriesLeft = 0;
    bool m_wanted = false;
};
