// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QObject>

/// The machine's sleeps, as logind announces them on the system bus
/// (org.freedesktop.login1.Manager.PrepareForSleep). Where there is no such
/// bus or service nothing is ever reported: the reminder check still sees a
/// sleep as a jump of its clock.
class SleepWatch final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SleepWatch)
public:
    explicit SleepWatch(QDBusConnection bus = QDBusConnection::systemBus(), QObject *parent = nullptr);

    /// Whether the bus took the watch.
    bool watching() const { return m_watching; }

Q_SIGNALS:
    void aboutToSleep();
    void resumed();

private Q_SLOTS:
    void prepareForSleep(bool start);

private:
    QDBusConnection m_bus;
    bool m_watching = false;
};
