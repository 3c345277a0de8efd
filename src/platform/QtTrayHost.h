// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DesktopNotifications.h"
#include "platform/TrayHost.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

class TrayOwnerWatch;

/// The tray icon on QSystemTrayIcon. The desktop's tray is watched for the
/// whole run: it may come up after the program (at log-in), go, or never be
/// there (the icon is then shown whenever it comes). Balloons go to the
/// desktop's notification service where the session has one, else to the tray.
class QtTrayHost final : public TrayHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtTrayHost)
public:
    explicit QtTrayHost(const QIcon &icon, QObject *parent = nullptr);
    ~QtTrayHost() override;

    void showIcon(const QString &tip) override;
    void setTip(const QString &tip) override;
    void showBalloon(const QString &title, const QString &text, int iconFlags) override;
    void removeIcon() override;

private:
    void checkAvailability();

    QSystemTrayIcon m_icon;
    DesktopNotifications m_notifications;
    QTimer m_watch; // where no event tells of the tray
    std::unique_ptr<TrayOwnerWatch> m_ownerWatch;
    bool m_wanted = false;
};
