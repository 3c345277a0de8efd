// SPDX-License-Identifier: MIT
#include "shell/SplashWindow.h"

#include "common/Fonts.h"
#include "common/Twips.h"

#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Q_LOGO"));
    setWindowTitle(QStringLiteral("Tackora"));
    setFixedSize(Twips::toPixels(8700), Twips::toPixels(4620));
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("Label1"));
    version->setFont(songFont(12, true));
    QPalette palette = version->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    version->setPalette(palette);
    version->adjustSize();
    version->move(width() - version->width() - 24, height() - version->height() - 18);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

QString SplashWindow::versionText() {
    return QStringLiteral("Ver %1.%2").arg(TACKORA_VERSION_MAJOR).arg(TACKORA_VERSION_MINOR);
}

void SplashWindow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x10, 0x2A, 0x4C));
    sky.setColorAt(1, QColor(0x1F, 0x6F, 0x8B));
    painter.fillRect(rect(), sky);
    // A board standing on the desktop.
    const QRectF board(width() * 0.08, height() * 0.14, width() * 0.16, height() * 0.72);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x40, 0x40, 0x40));
    painter.drawRect(board);
    painter.setBrush(QColor(0xC0, 0xE0, 0xFF));
    painter.drawRect(board.adjusted(4, board.height() * 0.3, -4, -4));
    painter.setPen(QColor(0xFF, 0xFF, 0x00));
    painter.setFont(songFont(26, true));
    painter.drawText(QRectF(width() * 0.3, height() * 0.25, width() * 0.65, height() * 0.3),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tackora"));
    painter.setPen(Qt::white);
    painter.setFont(songFont(14));
    painter.drawText(QRectF(width() * 0.3, height() * 0.52, width() * 0.65, height() * 0.2),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("便笺 · 时钟 · 资料盒子"));
}

void PauseSeconds(int seconds) {
    const QDateTime now = QDateTime::currentDateTime();
    QDateTime deadline = now.addSecs(seconds);
    deadline.setTime(QTime(deadline.time().hour(), deadline.time().minute(), deadline.time().second()));
    const qint64 waitMs = now.msecsTo(deadline);
    if (waitMs <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    loop.exec();
}
