// SPDX-License-Identifier: MIT
#pragma once

#include <QWebEngineView>

/// The calendar page in a web view: after every finished load the page gets
/// no context menu, no border and no scroll bars.
class CalendarPageView final : public QWebEngineView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarPageView)
public:
    explicit CalendarPageView(QWidget *parent = nullptr);

    /// Shows html as if it were loaded from baseUrl (local files beside it
    /// resolve), whatever the file's name says its type is.
    Q_INVOKABLE void loadPage(const QByteArray &html, const QUrl &baseUrl);

    /// The script that keeps the page's context menu away.
    static QString contextMenuScript();

Q_SIGNALS:
    /// A load finished and the page's changes were made.
    void pageFixed();

private:
    void fixPage();
};
