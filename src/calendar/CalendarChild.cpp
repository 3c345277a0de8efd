// SPDX-License-Identifier: MIT
#include "calendar/CalendarChild.h"

#include "calendar/CalendarPageServer.h"
#include "calendar/CalendarPageView.h"
#include "calendar/CalendarWindow.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>

#include <unistd.h>

CalendarChild::CalendarChild(int input, int output, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_input(input)
    , m_output(output)
    , m_clock(clock)
    , m_notifier(new QSocketNotifier(qintptr(input), QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &CalendarChild::readRequests);
}

CalendarChild::~CalendarChild() = default;

void CalendarChild::start() {
    answer("started");
}

void CalendarChild::readRequests() {
    char buffer[4096];
    const ssize_t got = ::read(m_input, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        // The board has gone, whatever way it went.
        quit();
        return;
    }
    for (const CalendarProtocol::Message &request : m_requests.append(QByteArray(buffer, qsizetype(got))))
        handle(request);
}

void CalendarChild::handle(const CalendarProtocol::Message &request) {
    if (request.verb == "page") {
        m_pagePath = CalendarProtocol::pathFrom(request.argument);
    } else if (request.verb == "holidays") {
        m_holidaysPath = CalendarProtocol::pathFrom(request.argument);
    } else if (request.verb == "board") {
        m_boardFrame = CalendarProtocol::rectFrom(request.argument).value_or(QRect());
    } else if (request.verb == "mode") {
        if (const std::optional<int> level = CalendarProtocol::levelFrom(request.argument)) {
            m_level = *level;
            if (m_window)
                m_window->startTimer1(m_level);
        }
    } else if (request.verb == "show") {
        show();
    } else if (request.verb == "quit") {
        quit();
    }
}

void CalendarChild::show() {
    if (m_window)
        return;
    m_window = std::make_unique<CalendarWindow>(m_pagePath, m_clock, [this](QWidget *parent) -> QWidget * {
        // Too late for the page's scheme, there would be a blank window.
        if (!CalendarPageServer::registerScheme())
            return nullptr;
        auto *view = new CalendarPageView(parent);
        if (!m_holidaysPath.isEmpty())
            view->setHolidaysFile(m_holidaysPath);
        return view;
    });
    if (const std::optional<CalendarWindow::LoadFailure> failure = m_window->load(m_level)) {
        answer("failed", *failure == CalendarWindow::LoadFailure::PageMissing ? "page" : "view");
        quit();
        return;
    }
    connect(m_window.get(), &CalendarWindow::closeRequested, this, [this] { answer("close"); });
    connect(m_window.get(), &CalendarWindow::levelApplied, this,
            [this](int level) { answer("mode", QByteArray::number(level)); });
    if (m_boardFrame.isValid())
        m_window->placeBeside(m_boardFrame);
    m_window->show();
    answer("shown");
}

void CalendarChild::answer(const QByteArray &verb, const QByteArray &argument) {
    const QByteArray line = CalendarProtocol::line(verb, argument);
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t now = ::write(m_output, line.constData() + written, size_t(line.size() - written));
        if (now < 0 && errno == EINTR)
            continue;
        if (now <= 0)
            return; // nobody listens: the end of input follows
        written += now;
    }
}

void CalendarChild::quit() {
    m_notifier->setEnabled(false);
    // Gone without a close event, which would ask the board to close it;
    // quit() would ask the window too, and be refused.
    m_window.reset();
    QCoreApplication::exit(0);
}
