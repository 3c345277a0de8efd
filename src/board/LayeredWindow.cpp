// SPDX-License-Identifier: MIT
#include "board/LayeredWindow.h"

#include "platform/TaskListEntry.h"

#include <QBitmap>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTextDocument>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int kRefreshDelayMs = 15;
const char *const kWhiteKeyName = "WhiteKeyMask";
const char *const kTaskListAbsenceName = "TaskListAbsence";

// Computes the window's shape from what it paints.
class WhiteKeyMask final : public QObject {
public:
    explicit WhiteKeyMask(QWidget *window)
        : QObject(window)
        , m_window(window) {
        setObjectName(QString::fromLatin1(kWhiteKeyName));
        m_delay.setSingleShot(true);
        m_delay.setInterval(kRefreshDelayMs);
        connect(&m_delay, &QTimer::timeout, this, &WhiteKeyMask::apply);
    }

    void scheduleRefresh(const QRect &changed) {
        if (changed.isNull())
            m_whole = true;
        else
            m_changed |= changed;
        m_delay.start();
    }

    void applyWhole() {
        m_whole = true;
        apply();
    }

    void apply() {
        if (!m_window)
            return;
        const QRect whole = m_window->rect();
        // The clock changes a small part each second: only that part is
        // rendered again and spliced into the shape.
        const QRect area = m_whole || m_window->mask().isEmpty() ? whole : m_changed.boundingRect() & whole;
        m_whole = false;
        m_changed = QRegion();
        if (area.isEmpty())
            return;
        ++m_computations;
        // render() paints the content whatever the current mask leaves out.
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        m_window->render(&image, QPoint(), QRegion(area),
                         QWidget::DrawWindowBackground | QWidget::DrawChildren);
        const QRegion part = nonWhiteRegion(image).translated(area.topLeft());
        const QRegion shape = area == whole ? part : (m_window->mask() - area) | part;
        if (shape != m_window->mask())
            m_window->setMask(shape); // each new shape is a round trip to the window system
    }

    int computations() const { return m_computations; }

private:
    QPointer<QWidget> m_window;
    QTimer m_delay;
    int m_computations = 0;
    QRegion m_changed;
    bool m_whole = false;
};

// Keeps a window out of the task list: the window manager forgets the state
// when the window is hidden, so each showing carries it again.
class TaskListAbsence final : public QObject {
public:
    explicit TaskListAbsence(QWidget *window)
        : QObject(window)
        , m_window(window) {
        setObjectName(QString::fromLatin1(kTaskListAbsenceName));
        window->installEventFilter(this);
    }

    void apply() { setSkippedByTaskList(m_window->windowHandle(), true); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // Sent before the native window is mapped.
        if (watched == m_window && event->type() == QEvent::Show)
            apply();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
};

// New flags on the window as it is. QWidget::setWindowFlags would re-create
// a shown native window (hiding it, and closing what is open over it);
// QWindow::setFlags hands them to the window system on the window there is.
void setFlagsInPlace(QWidget *window, Qt::WindowFlags flags) {
    if (flags == window->windowFlags())
        return;
    if (QWindow *native = window->windowHandle()) {
        window->overrideWindowFlags(flags);
        native->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

// No blend of the two colours (anti-aliased text on its ground) is pure
// white when one channel stays below full in both.
bool blendNeverWhite(const QColor &text, const QColor &ground) {
    return qMax(text.red(), ground.red()) < 255 || qMax(text.green(), ground.green()) < 255 ||
           qMax(text.blue(), ground.blue()) < 255;
}

// Whether every pixel label paints stays non-white whatever plain text it
// shows: its text on a solid ground of its own or of a parent, with nothing
// else beneath it on the way to that ground.
bool paintsNoWhite(const QWidget *widget, const QWidget *window) {
    const auto *label = qobject_cast<const QLabel *>(widget);
    if (!label || !label->isVisibleTo(window) || !label->pixmap().isNull() ||
        label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
        return false;
    const QWidget *ground = label;
    while (!ground->autoFillBackground()) {
        const QWidget *parent = ground->parentWidget();
        if (!parent || ground == window)
            return false;
        // A sibling beneath would show through where the text changes.
        for (const QObject *sibling : parent->children()) {
            if (sibling == ground)
                break;
            const auto *below = qobject_cast<const QWidget *>(sibling);
            if (below && !below->isWindow() && below->isVisibleTo(parent) &&
                below->geometry().intersects(ground->geometry()))
                return false;
        }
        ground = parent;
    }
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QBrush brush = ground->palette().brush(group, ground->backgroundRole());
        if (brush.style() != Qt::SolidPattern || brush.color().alpha() != 255 ||
            !blendNeverWhite(label->palette().color(group, label->foregroundRole()), brush.color()))
            return false;
    }
    return true;
}

WhiteKeyMask *whiteKeyOf(const QWidget *window) {
    return window ? window->findChild<WhiteKeyMask *>(QString::fromLatin1(kWhiteKeyName),
                                                      Qt::FindDirectChildrenOnly)
                  : nullptr;
}

} // namespace

QRegion nonWhiteRegion(const QImage &image) {
    const QImage mask =
        image.convertToFormat(QImage::Format_RGB32).createMaskFromColor(0xFFFFFFFF, Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(mask));
}

void SetWindowAlpha(QWidget *window, int alpha) {
    if (!window)
        return;
    if (WhiteKeyMask *key = whiteKeyOf(window)) {
        delete key;
        window->clearMask();
    }
    window->setWindowOpacity(qBound(0, alpha, 255) / 255.0);
}

void SetWindowWhiteKey(QWidget *window) {
    if (!window)
        return;
    window->setWindowOpacity(1.0);
    WhiteKeyMask *key = whiteKeyOf(window);
    if (!key)
        key = new WhiteKeyMask(window);
    key->applyWhole();
}

void SetWindowFlagKeepingPlace(QWidget *window, Qt::WindowType flag, bool on) {
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(flag, on);
    setFlagsInPlace(window, flags);
}

void HideFromTaskList(QWidget *window, bool hidden) {
    // Qt::Tool holds the bit of Qt::Window: only the type tells them apart.
    if ((window->windowType() == Qt::Tool) == hidden)
        return;
    setFlagsInPlace(window,
                    (window->windowFlags() & ~Qt::WindowType_Mask) | (hidden ? Qt::Tool : Qt::Window));
    auto *absence = static_cast<TaskListAbsence *>(
        window->findChild<QObject *>(QString::fromLatin1(kTaskListAbsenceName), Qt::FindDirectChildrenOnly));
    if (hidden) {
        if (!absence)
            absence = new TaskListAbsence(window);
        absence->apply();
    } else {
        delete absence;
        setSkippedByTaskList(window->windowHandle(), false);
    }
}

bool hasWhiteKey(const QWidget *window) {
    return whiteKeyOf(window) != nullptr;
}

int whiteKeyComputations(const QWidget *window) {
    const WhiteKeyMask *key = whiteKeyOf(window);
    return key ? key->computations() : 0;
}

void refreshWhiteKey(QWidget *window, const QRect &changed) {
    if (WhiteKeyMask *key = whiteKeyOf(window))
        key->scheduleRefresh(changed);
}

void refreshWhiteKey(QWidget *window, const QList<const QWidget *> &changed) {
    WhiteKeyMask *key = whiteKeyOf(window);
    if (!key)
        return;
    const QRegion shape = window->mask();
    for (const QWidget *widget : changed) {
        const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
        // Kept where the shape already holds all of it and nothing can turn white there.
        if (!shape.isEmpty() && (QRegion(area) - shape).isEmpty() && paintsNoWhite(widget, window))
            continue;
        key->scheduleRefresh(area);
    }
}
