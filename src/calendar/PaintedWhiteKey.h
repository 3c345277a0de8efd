// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

/// Transparency mode "c" for a window whose content paints in its own time (a
/// web page): the window's shape is its non-white pixels, taken again after
/// every paint of its content. A frame without any (a page still loading)
/// keeps the shape there is: an empty mask would show the whole window.
class PaintedWhiteKey final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaintedWhiteKey)
public:
    explicit PaintedWhiteKey(QWidget *window);

    /// On: the window opaque, shaped from now on. Off: no shape.
    void setOn(bool on);
    bool isOn() const { return m_on; }

    /// Takes the shape from what the window shows now.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QObject *widget);

    QWidget *m_window;
    QTimer m_settle;
    bool m_on = false;
    bool m_rendering = false;
};
