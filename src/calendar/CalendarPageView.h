// SPDX-License-Identifier: MIT
#pragma once

#include "calendar/WindowDrag.h"

#include <QDate>
#include <QWebEngineView>

class CalendarPageServer;

/// The calendar page in a web view: after every finished load the page gets
/// no context menu, no border and no scroll bars, and the host's date as
/// today. The page reads nothing but itself (see CalendarWebPage), and the
/// window is dragged by the page's header strip.
class CalendarPageView final : public QWebEngineView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarPageView)
public:
    explicit CalendarPageView(QWidget *parent = nullptr);
    ~CalendarPageView() override;

    /// Shows the page in the file at path, whatever its name says its type is.
    Q_INVOKABLE void loadFile(const QString &path);
    /// The holidays.json the page reads; unset, the one beside the page.
    void setHolidaysFile(const QString &path);

    /// The host's date: the page marks it as today, now and after every load.
    Q_INVOKABLE void setToday(QDate today);

    /// The script that keeps the page's context menu away.
    static QString contextMenuScript();

    /// The top strip of the page: a press there, beside the page's controls,
    /// drags the window.
    static constexpr int kHeaderStripHeight = 30;

Q_SIGNALS:
    /// A load finished and the page's changes were made.
    void pageFixed();

private:
    void fixPage();
    void markToday();
    /// Whether a press there starts dragging the window: in the header strip,
    /// beside the page's controls.
    void answerDrag(const QPoint &inWindow, const WindowDrag::Answer &answer);

    CalendarPageServer *m_server = nullptr;
    QDate m_today;
};
