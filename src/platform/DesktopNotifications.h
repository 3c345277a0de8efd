// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>

#include <optional>

/// Balloons as the desktop's own notifications (org.freedesktop.Notifications
/// on the session bus): they keep the desktop's history and honour its
/// do-not-disturb, which a tray's drawn balloon does not.
class DesktopNotifications final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifications)
public:
    static constexpr int kTimeoutMs = 10000; // as long as a tray balloon stays

    /// On the session bus, reached at the first notification: connecting to
    /// it is no part of showing the board.
    DesktopNotifications(QImage icon, QString desktopEntry, QObject *parent = nullptr);
    DesktopNotifications(QImage icon, QString desktopEntry, QDBusConnection bus, QObject *parent = nullptr);

    /// Whether a notification service runs on the bus (or can be started).
    bool available() const;

    /// Shows a notification that replaces the previous one of this program.
    /// iconFlags: 1 information, 2 warning, 3 error (urgent), else none.
    /// False when no service takes it; failed emits when the service refuses
    /// it later.
    bool notify(const QString &title, const QString &text, int iconFlags);

    /// Takes the last notification off the screen.
    void closeLast();

Q_SIGNALS:
    /// The service answered with an error: title and text are not shown.
    void failed(const QString &title, const QString &text, int iconFlags);

private:
    QDBusConnection &bus() const;

    QImage m_icon;
    QString m_desktopEntry;
    mutable std::optional<QDBusConnection> m_bus;
    quint32 m_lastId = 0;
};
