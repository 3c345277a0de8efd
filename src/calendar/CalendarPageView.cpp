// SPDX-License-Identifier: MIT
#include "calendar/CalendarPageView.h"

#include "calendar/CalendarPageServer.h"
#include "calendar/CalendarWebPage.h"
#include "calendar/WindowDrag.h"

#include <QWebEngineScript>

CalendarPageView::CalendarPageView(QWidget *parent)
    : QWebEngineView(parent)
    , m_server(new CalendarPageServer(this)) {
    setObjectName(QStringLiteral("WebBrowser1"));
    setContextMenuPolicy(Qt::NoContextMenu);
    setPage(new CalendarWebPage(m_server->profile(), this));
    connect(this, &QWebEngineView::loadFinished, this, [this](bool) { fixPage(); });
    auto *drag = new WindowDrag(
        [this](const QPoint &inWindow, const WindowDrag::Answer &answer) { answerDrag(inWindow, answer); },
        this);
    drag->watch(this);
}

CalendarPageView::~CalendarPageView() {
    // The page goes before its profile, which the server holds.
    delete page();
}

void CalendarPageView::loadFile(const QString &path) {
    m_server->setFile(path);
    load(CalendarPageServer::pageUrl());
}

void CalendarPageView::setHolidaysFile(const QString &path) {
    m_server->setHolidaysFile(path);
}

void CalendarPageView::setToday(QDate today) {
    m_today = today;
    markToday();
}

void CalendarPageView::markToday() {
    if (!m_today.isValid())
        return;
    // Another page may know no such call: it keeps its own idea of today.
    page()->runJavaScript(QStringLiteral("try { if (window.tackoraCalendar && tackoraCalendar.setToday)"
                                         " tackoraCalendar.setToday(%1, %2, %3); } catch (e) {}")
                              .arg(m_today.year())
                              .arg(m_today.month())
                              .arg(m_today.day()));
}

QString CalendarPageView::contextMenuScript() {
    return QStringLiteral("document.body.oncontextmenu=function()\r\n{event.returnValue=false;}");
}

void CalendarPageView::fixPage() {
    // Each change on its own: a page without a body, or a script error,
    // leaves the others standing.
    const QString guarded = QStringLiteral("try { if (document.body) { %1 } } catch (e) {}");
    page()->runJavaScript(guarded.arg(contextMenuScript()));
    page()->runJavaScript(guarded.arg(QStringLiteral("document.body.style.border = '0px';")));
    markToday();
    // "scroll" is the old attribute; overflow is what this engine reads.
    page()->runJavaScript(
        guarded.arg(QStringLiteral(
            "document.body.setAttribute('scroll', 'no'); document.body.style.overflow = 'hidden';"
            "document.documentElement.style.overflow = 'hidden';")),
        [this](const QVariant &) { Q_EMIT pageFixed(); });
}

void CalendarPageView::answerDrag(const QPoint &inWindow, const WindowDrag::Answer &answer) {
    const QPoint at = mapFrom(window(), inWindow);
    if (!rect().contains(at) || at.y() >= kHeaderStripHeight) {
        answer(false);
        return;
    }
    // In a world of its own: the page's scripts cannot redefine what this calls.
    page()->runJavaScript(
        QStringLiteral("(function (x, y) { var e = document.elementFromPoint(x, y); return !!e &&"
                       " !e.closest('a, button, input, label, option, select, textarea, [contenteditable],"
                       " [onclick]'); })(%1, %2)")
            .arg(at.x())
            .arg(at.y()),
        QWebEngineScript::ApplicationWorld, [answer](const QVariant &starts) { answer(starts.toBool()); });
}
