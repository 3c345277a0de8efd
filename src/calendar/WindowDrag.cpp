// SPDX-License-Identifier: MIT
#include "calendar/WindowDrag.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QWidget>

WindowDrag::WindowDrag(StartsDrag startsDrag, QObject *parent)
    : QObject(parent)
    , m_startsDrag(std::move(startsDrag)) {}

void WindowDrag::watch(QObject *widget) {
    widget->installEventFilter(this);
    for (QObject *child : widget->children()) {
        if (child->isWidgetType())
            watch(child);
    }
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::ChildAdded: {
        // The web view makes its surface when a page comes, and anew later.
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            watch(child);
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !watched->isWidgetType())
            break;
        auto *widget = static_cast<QWidget *>(watched);
        m_window = widget->window();
        m_held = true;
        m_dragging = false;
        m_pressedAt = m_pointer = mouse->globalPosition().toPoint();
        m_windowAt = m_window->pos();
        const quint64 press = ++m_press;
        const QPoint inWindow = widget->mapTo(m_window, mouse->position().toPoint());
        m_startsDrag(inWindow, [self = QPointer<WindowDrag>(this), press](bool starts) {
            if (!self || !starts || self->m_press != press || !self->m_held)
                return;
            self->m_dragging = true;
            self->follow();
        });
        break;
    }
    case QEvent::MouseMove:
        if (m_held) {
            m_pointer = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            if (m_dragging) {
                follow();
                return true; // the page sees no pointer sliding over it
            }
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_held = m_dragging = false;
        break;
    default:
        break;
    }
    return false;
}

void WindowDrag::follow() {
    if (m_window)
        m_window->move(m_windowAt + m_pointer - m_pressedAt);
}
