// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

/// Wakes once a second, just after the system clock's second changes, so a
/// clock shows every second and the program never polls faster than that.
class SecondTimer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SecondTimer)
public:
    explicit SecondTimer(QObject *parent = nullptr);
    void start();
    void stop();

Q_SIGNALS:
    void tick();

private:
    void scheduleNext();
    QTimer m_timer;
};
