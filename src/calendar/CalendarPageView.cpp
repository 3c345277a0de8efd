// SPDX-License-Identifier: MIT
#include "calendar/CalendarPageView.h"

#include <QWebEnginePage>

CalendarPageView::CalendarPageView(QWidget *parent)
    : QWebEngineView(parent) {
    setObjectName(QStringLiteral("WebBrowser1"));
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWebEngineView::loadFinished, this, [this](bool) { fixPage(); });
}

void CalendarPageView::loadPage(const QByteArray &html, const QUrl &baseUrl) {
    page()->setContent(html, QStringLiteral("text/html;charset=UTF-8"), baseUrl);
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
    // "scroll" is the old attribute; overflow is what this engine reads.
    page()->runJavaScript(
        guarded.arg(QStringLiteral(
            "document.body.setAttribute('scroll', 'no'); document.body.style.overflow = 'hidden';"
            "document.documentElement.style.overflow = 'hidden';")),
        [this](const QVariant &) { Q_EMIT pageFixed(); });
}
