// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QUrl>

class QWebEngineProfile;

/// Serves the calendar page to the web engine under a scheme of its own, in a
/// profile of its own that keeps nothing on disk: the file's bytes as
/// text/html without a charset, so that the encoding the page declares holds,
/// read as the engine asks, so that its size does not matter. Nothing else
/// reaches the page but its holidays.json: no other file, nothing from
/// the network.
class CalendarPageServer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarPageServer)
public:
    /// Makes the scheme known to the web engine (once). The engine fixes its
    /// list of schemes when it starts, with its first profile: this comes
    /// before, with the application already there or not. The calendar module
    /// calls it before its first view, the constructor again for any other
    /// user. False when it came too late.
    static bool registerScheme();

    explicit CalendarPageServer(QObject *parent = nullptr);
    ~CalendarPageServer() override;

    /// The file served as the page; read anew at every load.
    void setFile(const QString &path);
    /// The holidays.json served to the page: the program folder's, where the
    /// page may come from elsewhere. Unset, the one beside the page.
    void setHolidaysFile(const QString &path);
    QWebEngineProfile *profile() const { return m_profile; }

    /// The page's address.
    static QUrl pageUrl();
    /// The address of holidays.json, the one other file served: the page's
    /// additions to its holiday tables.
    static QUrl holidaysUrl();
    /// Whether url is the page's address, a fragment aside.
    static bool isPage(const QUrl &url);

private:
    class Handler;
    class Guard;
    QWebEngineProfile *m_profile;
    Handler *m_handler;
    Guard *m_guard;
};
