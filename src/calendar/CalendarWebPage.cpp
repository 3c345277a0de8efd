// SPDX-License-Identifier: MIT
#include "calendar/CalendarWebPage.h"

#include "calendar/CalendarPageServer.h"

#include <QWebEngineSettings>

CalendarWebPage::CalendarWebPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent) {
    QWebEngineSettings *page = settings();
    page->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    page->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    page->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    page->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    page->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
}

bool CalendarWebPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) {
    if (CalendarPageServer::isPage(url))
        return true;
    // A frame may hold a blank document the page fills itself, nothing from elsewhere.
    return !isMainFrame && url.scheme() == u"about";
}
