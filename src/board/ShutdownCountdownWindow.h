// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class ShutdownCountdown;

/// The countdown on top of every window: the seconds left before the
/// shutdown and the two choices. Closing it chooses nothing.
class ShutdownCountdownWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShutdownCountdownWindow)
public:
    explicit ShutdownCountdownWindow(ShutdownCountdown &countdown, QWidget *parent = nullptr);

    QString text() const;

private:
    QLabel *m_text = nullptr;
};
