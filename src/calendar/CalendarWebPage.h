// SPDX-License-Identifier: MIT
#pragma once

#include <QWebEnginePage>

/// The calendar page: no access to files, servers or the clipboard, no new
/// windows, and it stays the page (every navigation elsewhere is refused).
class CalendarWebPage final : public QWebEnginePage {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarWebPage)
public:
    explicit CalendarWebPage(QWebEngineProfile *profile, QObject *parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
};
