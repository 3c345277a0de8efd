// SPDX-License-Identifier: MIT
#include "board/ShutdownCountdownWindow.h"

#include "board/ShutdownCountdown.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ShutdownCountdownWindow::ShutdownCountdownWindow(ShutdownCountdown &countdown, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("ShutdownCountdown"));
    setWindowTitle(QStringLiteral("定时关机"));
    // A window of its own: closing it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_text = new QLabel(this);
    m_text->setAlignment(Qt::AlignCenter);
    auto *postpone = new QPushButton(QStringLiteral("推迟10分钟"), this);
    postpone->setObjectName(QStringLiteral("postpone"));
    auto *skip = new QPushButton(QStringLiteral("今天不关机"), this);
    skip->setObjectName(QStringLiteral("skipToday"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(postpone);
    buttons->addWidget(skip);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);

    connect(postpone, &QPushButton::clicked, &countdown, &ShutdownCountdown::postpone);
    connect(skip, &QPushButton::clicked, &countdown, &ShutdownCountdown::skipToday);
    connect(&countdown, &ShutdownCountdown::secondsLeftChanged, this, [this](int seconds) {
        m_text->setText(QStringLiteral("电脑将在%1秒后关机，请及时保存手头工作！").arg(seconds));
    });
    connect(&countdown, &ShutdownCountdown::countdownStarted, this, [this] {
        show();
        raise();
    });
    connect(&countdown, &ShutdownCountdown::countdownEnded, this, &QWidget::hide);
}

QString ShutdownCountdownWindow::text() const {
    return m_text->text();
}
