// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QWidget;

/// Moves the window of the widgets it watches while the left button, pressed
/// where startsDrag allows, is held. The answer may come late (a page's script
/// gives it): the window then catches up with the pointer.
class WindowDrag final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowDrag)
public:
    using Answer = std::function<void(bool)>;
    /// Answers whether a press at position (window coordinates) starts a drag.
    using StartsDrag = std::function<void(const QPoint &position, const Answer &answer)>;

    explicit WindowDrag(StartsDrag startsDrag, QObject *parent = nullptr);

    /// Follows the mouse over widget and over every widget it comes to hold.
    void watch(QObject *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();

    StartsDrag m_startsDrag;
    QPointer<QWidget> m_window;
    QPoint m_pressedAt; // global
    QPoint m_windowAt;
    QPoint m_pointer; // global, as last seen
    quint64 m_press = 0;
    bool m_held = false;
    bool m_dragging = false;
};
