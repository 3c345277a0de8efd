// SPDX-License-Identifier: MIT
#include "calendar/PaintedWhiteKey.h"

#include "board/LayeredWindow.h"

#include <QChildEvent>
#include <QImage>
#include <QWidget>

namespace {
// A page paints in bursts: one shape for each.
constexpr int kSettleMs = 30;
} // namespace

PaintedWhiteKey::PaintedWhiteKey(QWidget *window)
    : QObject(window)
    , m_window(window) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PaintedWhiteKey::refresh);
    watch(window);
}

void PaintedWhiteKey::watch(QObject *widget) {
    widget->installEventFilter(this);
    for (QObject *child : widget->children()) {
        if (child->isWidgetType())
            watch(child);
    }
}

void PaintedWhiteKey::setOn(bool on) {
    m_on = on;
    if (on) {
        m_window->setWindowOpacity(1.0);
        refresh();
    } else {
        m_settle.stop();
        m_window->clearMask();
    }
}

bool PaintedWhiteKey::eventFilter(QObject *, QEvent *event) {
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            watch(child);
    } else if (event->type() == QEvent::Paint && m_on && !m_rendering && !m_settle.isActive()) {
        m_settle.start();
    }
    return false;
}

void PaintedWhiteKey::refresh() {
    if (!m_on)
        return;
    QImage image(m_window->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    // The whole content, whatever the shape leaves out now; the paints this
    // makes are ours, not the page's.
    m_rendering = true;
    m_window->render(&image, QPoint(), QRegion(),
                     QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    m_rendering = false;
    const QRegion shape = nonWhiteRegion(image);
    if (!shape.isEmpty() && shape != m_window->mask())
        m_window->setMask(shape);
}
