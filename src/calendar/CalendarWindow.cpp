// SPDX-License-Identifier: MIT
#include "calendar/CalendarWindow.h"

#include "board/LayeredWindow.h"
#include "calendar/CalendarPlacement.h"
#include "calendar/PaintedWhiteKey.h"
#include "common/Twips.h"
#include "common/WindowsColour.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
constexpr int kWidthTwips = 12405;
constexpr int kHeightTwips = 6270;
} // namespace

CalendarWindow::CalendarWindow(QString pagePath, const Clock &clock, ViewFactory viewFactory, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_pagePath(std::move(pagePath))
    , m_day(clock)
    , m_viewFactory(std::move(viewFactory)) {
    setObjectName(QStringLiteral("Q_WNL"));
    setWindowTitle(QStringLiteral("万年历"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(Twips::toPixels(kWidthTwips), Twips::toPixels(kHeightTwips));
    for (int i = 0; i < int(m_timer1.size()); ++i) {
        m_timer1[i].setObjectName(QStringLiteral("Timer1(%1)").arg(i));
        m_timer1[i].setSingleShot(true);
        m_timer1[i].setInterval(10);
        connect(&m_timer1[i], &QTimer::timeout, this, [this, i] { runTimer1(i); });
    }
    m_whiteKey = new PaintedWhiteKey(this);
    connect(&m_day, &DayWatch::dayChanged, this, &CalendarWindow::showToday);
    // Whichever part has the keyboard, the page's among them.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &CalendarWindow::closeRequested);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

std::optional<CalendarWindow::LoadFailure> CalendarWindow::load(int level) {
    // The engine reads the page itself; here only whether it can.
    QFile page(m_pagePath);
    if (!QFileInfo(m_pagePath).isFile() || !page.open(QIODevice::ReadOnly))
        return LoadFailure::PageMissing;
    page.close();
    if (!m_view && m_viewFactory)
        m_view = m_viewFactory(this);
    if (!m_view)
        return LoadFailure::ViewMissing;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    showToday(m_day.today());
    QMetaObject::invokeMethod(m_view, "loadFile", Q_ARG(QString, QFileInfo(m_pagePath).absoluteFilePath()));

    startTimer1(level);
    return std::nullopt;
}

void CalendarWindow::closeEvent(QCloseEvent *event) {
    // Closed only the way "D" closes it, so that the check mark follows.
    event->ignore();
    Q_EMIT closeRequested();
}

void CalendarWindow::startTimer1(int index) {
    if (index >= 0 && index < int(m_timer1.size()))
        m_timer1[index].start();
}

void CalendarWindow::runTimer1(int index) {
    switch (index) {
    case 0:
        m_whiteKey->setOn(false);
        HideFromTaskList(this, false);
        SetWindowAlpha(this, 230);
        break;
    case 1:
        m_whiteKey->setOn(false);
        HideFromTaskList(this, false);
        SetWindowAlpha(this, 100);
        break;
    case 2: {
        HideFromTaskList(this);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, WindowsColour::fromWord(0x80000009));
        setPalette(palette);
        setAutoFillBackground(true);
        // The page paints in its own time, and again at each change: the
        // shape follows it rather than being taken once.
        m_whiteKey->setOn(true);
        break;
    }
    default:
        return;
    }
    Q_EMIT levelApplied(index);
}

void CalendarWindow::placeBeside(const QRect &boardFrame) {
    const QScreen *screen = QGuiApplication::screenAt(boardFrame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        move(CalendarPlacement::besideBoard(boardFrame, screen->availableGeometry(), frameGeometry().size()));
}

void CalendarWindow::showToday(QDate today) {
    if (m_view)
        QMetaObject::invokeMethod(m_view, "setToday", Q_ARG(QDate, today));
}
