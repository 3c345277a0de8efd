// SPDX-License-Identifier: MIT
#include "board/LayeredWindow.h"

#include <QBitmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kRefreshDelayMs = 15;
const char *const kWhiteKeyName = "WhiteKeyMask";

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

    void scheduleRefresh() { m_delay.start(); }

    void apply() {
        if (!m_window)
            return;
        // render() paints the content whatever the current mask leaves out.
        QImage image(m_window->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        m_window->render(&image, QPoint(), QRegion(m_window->rect()),
                         QWidget::DrawWindowBackground | QWidget::DrawChildren);
        m_window->setMask(nonWhiteRegion(image));
    }

private:
    QPointer<QWidget> m_window;
    QTimer m_delay;
};

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
    key->apply();
}

bool hasWhiteKey(const QWidget *window) {
    return whiteKeyOf(window) != nullptr;
}

void refreshWhiteKey(QWidget *window) {
    if (WhiteKeyMask *key = whiteKeyOf(window))
        key->scheduleRefresh();
}
