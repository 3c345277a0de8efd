// SPDX-License-Identifier: MIT
#include "calendar/CalendarPageServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace {
constexpr char kScheme[] = "tackora-calendar";
constexpr char kHost[] = "page";
constexpr char kPath[] = "/wnl.dat";
constexpr char kHolidaysName[] = "holidays.json";
} // namespace

class CalendarPageServer::Handler final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    QString path;
    QString holidaysPath;

    void requestStarted(QWebEngineUrlRequestJob *job) override {
        if (job->requestMethod() != QByteArrayLiteral("GET")) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        if (isPage(job->requestUrl())) {
            // No charset: the page's own declaration (or its bytes) decides.
            serve(job, path, QByteArrayLiteral("text/html"));
        } else if (job->requestUrl() == holidaysUrl()) {
            // The page's one other file; a pipe or folder there is none.
            const QString holidays = holidaysPath.isEmpty()
                                         ? QFileInfo(path).dir().filePath(QLatin1String(kHolidaysName))
                                         : holidaysPath;
            if (QFileInfo(holidays).isFile())
                serve(job, holidays, QByteArrayLiteral("application/json"));
            else
                job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        } else {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        }
    }

private:
    static void serve(QWebEngineUrlRequestJob *job, const QString &filePath, const QByteArray &type) {
        auto *file = new QFile(filePath, job);
        if (!file->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(type, file);
    }
};

// Whatever the page asks for besides itself goes nowhere: files, servers.
// Data and blob addresses are the page's own making.
class CalendarPageServer::Guard final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override {
        const QString scheme = info.requestUrl().scheme();
        info.block(scheme != QLatin1String(kScheme) && scheme != u"data" && scheme != u"blob");
    }
};

bool CalendarPageServer::registerScheme() {
    const QByteArray name(kScheme);
    if (QWebEngineUrlScheme::schemeByName(name).name().isEmpty()) {
        QWebEngineUrlScheme scheme(name);
        // A host gives the page an origin of its own (its storage works); no
        // flags: neither local nor allowed to reach local schemes such as file.
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
    return !QWebEngineUrlScheme::schemeByName(name).name().isEmpty();
}

CalendarPageServer::CalendarPageServer(QObject *parent)
    : QObject(parent) {
    registerScheme();
    m_profile = new QWebEngineProfile(this); // off the record
    m_handler = new Handler(this);
    m_guard = new Guard(this);
    m_profile->installUrlSchemeHandler(QByteArray(kScheme), m_handler);
    m_profile->setUrlRequestInterceptor(m_guard);
}

CalendarPageServer::~CalendarPageServer() = default;

void CalendarPageServer::setFile(const QString &path) {
    m_handler->path = path;
}

void CalendarPageServer::setHolidaysFile(const QString &path) {
    m_handler->holidaysPath = path;
}

QUrl CalendarPageServer::pageUrl() {
    QUrl url;
    url.setScheme(QLatin1String(kScheme));
    url.setHost(QLatin1String(kHost));
    url.setPath(QLatin1String(kPath));
    return url;
}

QUrl CalendarPageServer::holidaysUrl() {
    return pageUrl().resolved(QUrl(QLatin1String(kHolidaysName)));
}

bool CalendarPageServer::isPage(const QUrl &url) {
    return url.adjusted(QUrl::RemoveFragment) == pageUrl();
}
