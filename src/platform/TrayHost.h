// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

/// The notification-area icon of the desktop: shown with a tip, balloons on it,
/// removed; reports left and right clicks, and whether the desktop has a tray.
class TrayHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TrayHost() override = default;

    virtual void showIcon(const QString &tip) = 0;
    virtual void setTip(const QString &tip) = 0;
    /// A balloon replaces the one on show; an empty title and text hide it.
    virtual void showBalloon(const QString &title, const QString &text, int iconFlags) = 0;
    virtual void removeIcon() = 0;

    /// Whether the desktop has a tray to show the icon in, as last checked;
    /// availabilityChanged tells of each change while the program runs.
    bool isAvailable() const { return m_available; }

Q_SIGNALS:
    void leftClicked();
    void rightClicked();
    void availabilityChanged(bool available);

protected:
    void setAvailable(bool available);

private:
    bool m_available = true;
};
