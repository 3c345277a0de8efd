// SPDX-License-Identifier: MIT
// The calendar page wnl.dat as built, in the real web engine, and the
// calendar program's window around it.
#include "board/LayeredWindow.h"
#include "calendar/CalendarPageServer.h"
#include "calendar/CalendarPageView.h"
#include "calendar/CalendarWindow.h"
#include "common/Transparency.h"

#include "PageScript.h"
#include "TestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

namespace {
// The centre of the page's element, in the view.
QPoint centreOf(QWebEngineView *view, const QString &selector) {
    const QJsonObject box = evaluateJson(
        view, QStringLiteral("var r = document.querySelector('%1').getBoundingClientRect();"
                             "JSON.stringify({x: r.left + r.width / 2, y: r.top + r.height / 2})")
                  .arg(selector));
    return QPoint(qRound(box[u"x"].toDouble()), qRound(box[u"y"].toDouble()));
}

// The shape of the window's non-white pixels as it shows now.
QRegion shownShape(QWidget *window) {
    QImage image(window->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    window->render(&image, QPoint(), QRegion(),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
    return nonWhiteRegion(image);
}

const QString todayState = QStringLiteral(
    "JSON.stringify({today: Array.from(document.querySelectorAll('td.today'))"
    ".map(function (c) { return c.dataset.date; }).join(' '),"
    "info: document.getElementById('info').textContent,"
    "shown: document.getElementById('year').value + '-' + document.getElementById('month').value,"
    "selected: document.querySelector('td.selected').dataset.date})");

// A calendar window with the real view on a page the test writes, its
// transparency level and clock set by the test before it opens.
struct CalendarFixture {
    explicit CalendarFixture(const QByteArray &page) {
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")), page);
    }

    // Loads and shows the window: true once the page is there.
    bool open() {
        window = std::make_unique<CalendarWindow>(dir.filePath(QStringLiteral("wnl.dat")), clock,
                                                  [this](QWidget *parent) {
                                                      view = new CalendarPageView(parent);
                                                      return view;
                                                  });
        if (window->load(level) || !view)
            return false;
        QSignalSpy fixed(view, &CalendarPageView::pageFixed);
        window->show();
        return fixed.wait(20000);
    }

    QTemporaryDir dir;
    int level = -1;
    FakeClock clock;
    CalendarPageView *view = nullptr;
    std::unique_ptr<CalendarWindow> window;
};

const QByteArray secret = "tackora-secret-4711";

// A page that tries to read a file, reach a server and read the clipboard,
// and notes in "got" what it was given.
QByteArray hostilePage(const QByteArray &fileUrl, const QByteArray &serverUrl) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>hostile</title></head><body>"
           "<p id=\"probe\">hostile</p><script>\n"
           "var file = '" +
           fileUrl + "', server = '" + serverUrl +
           "', got = {};\n"
           "function note(what, value) { if (!(what in got)) got[what] = String(value); }\n"
           "try { var x = new XMLHttpRequest(); x.open('GET', file, false); x.send(); note('xhr', "
           "x.responseText); }\n"
           "catch (e) { note('xhr', 'refused'); }\n"
           "fetch(file).then(function (r) { return r.text(); })\n"
           "  .then(function (t) { note('fetch', t); }, function () { note('fetch', 'refused'); });\n"
           "var frame = document.createElement('iframe'); frame.src = file;\n"
           "frame.onload = function () { try { note('iframe', frame.contentDocument.body.textContent); }\n"
           "  catch (e) { note('iframe', 'opaque'); } };\n"
           "document.body.appendChild(frame);\n"
           "fetch(server, {mode: 'no-cors'}).then(function () { note('server', 'reached'); },\n"
           "  function () { note('server', 'refused'); });\n"
           "var remote = document.createElement('iframe'); remote.src = server + 'frame'; "
           "document.body.appendChild(remote);\n"
           "new Image().src = server + 'image.png';\n"
           "var box = document.createElement('textarea'); document.body.appendChild(box); box.focus();\n"
           "note('paste', document.execCommand('paste') ? box.value : 'refused');\n"
           "if (navigator.clipboard && navigator.clipboard.readText)\n"
           "  navigator.clipboard.readText().then(function (t) { note('clipboard', t); },\n"
           "    function () { note('clipboard', 'refused'); });\n"
           "else note('clipboard', 'none');\n"
           "setTimeout(function () { ['iframe', 'fetch', 'server', 'clipboard'].forEach(function (what) {\n"
           "  note(what, 'no answer'); }); }, 5000);\n"
           "</script></body></html>";
}
} // namespace

class tst_Calendar : public QObject {
    Q_OBJECT

    std::unique_ptr<CalendarPageView> m_view;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QFileInfo::exists(builtPage()), "wnl.dat is built with the program");
        m_view = std::make_unique<CalendarPageView>();
        m_view->resize(827, 418);
        QSignalSpy fixed(m_view.get(), &CalendarPageView::pageFixed);
        m_view->loadFile(builtPage());
        m_view->show();
        QVERIFY(fixed.wait(20000));
        QVERIFY(evaluate(m_view.get(), QStringLiteral("typeof tackoraCalendar")).toString() ==
                QStringLiteral("object"));
    }
    void cleanupTestCase() { m_view.reset(); }

    // Dates from published Chinese calendars (not from the library the page uses).
    void knownDates_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("lunarMonth");
        QTest::addColumn<QString>("lunarDay");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("festival"); // one of the day's festivals, or empty
        QTest::addColumn<QString>("sub");      // what the cell shows under the number
        QTest::newRow("春节 2020") << "2020-01-25"
                                   << "正月"
                                   << "初一"
                                   << ""
                                   << "春节"
                                   << "春节";
        QTest::newRow("春节 2024") << "2024-02-10"
                                   << "正月"
                                   << "初一"
                                   << ""
                                   << "春节"
                                   << "春节";
        QTest::newRow("春节 2025") << "2025-01-29"
                                   << "正月"
                                   << "初一"
                                   << ""
                                   << "春节"
                                   << "春节";
        QTest::newRow("春节 2026") << "2026-02-17"
                                   << "正月"
                                   << "初一"
                                   << ""
                                   << "春节"
                                   << "春节";
        QTest::newRow("除夕 2026") << "2026-02-16"
                                   << "腊月"
                                   << "廿九"
                                   << ""
                                   << "除夕"
                                   << "除夕";
        QTest::newRow("闰二月 2023") << "2023-03-22"
                                     << "闰二月"
                                     << "初一"
                                     << ""
                                     << ""
                                     << "闰二月";
        QTest::newRow("闰六月 2025") << "2025-07-25"
                                     << "闰六月"
                                     << "初一"
                                     << ""
                                     << ""
                                     << "闰六月";
        QTest::newRow("闰四月 2020") << "2020-05-23"
                                     << "闰四月"
                                     << "初一"
                                     << ""
                                     << ""
                                     << "闰四月";
        QTest::newRow("清明 2024") << "2024-04-04"
                                   << "二月"
                                   << "廿六"
                                   << "清明"
                                   << ""
                                   << "清明";
        QTest::newRow("清明 2023") << "2023-04-05"
                                   << "闰二月"
                                   << "十五"
                                   << "清明"
                                   << ""
                                   << "清明";
        QTest::newRow("冬至 2024") << "2024-12-21"
                                   << "冬月"
                                   << "廿一"
                                   << "冬至"
                                   << ""
                                   << "冬至";
        QTest::newRow("冬至 2023") << "2023-12-22"
                                   << "冬月"
                                   << "初十"
                                   << "冬至"
                                   << ""
                                   << "冬至";
        QTest::newRow("中秋 2024") << "2024-09-17"
                                   << "八月"
                                   << "十五"
                                   << ""
                                   << "中秋节"
                                   << "中秋节";
        QTest::newRow("端午 2025") << "2025-05-31"
                                   << "五月"
                                   << "初五"
                                   << ""
                                   << "端午节"
                                   << "端午节";
        QTest::newRow("国庆 2024") << "2024-10-01"
                                   << "八月"
                                   << "廿九"
                                   << ""
                                   << "国庆节"
                                   << "国庆节";
        QTest::newRow("day after the Spring Festival") << "2024-02-11"
                                                       << "正月"
                                                       << "初二"
                                                       << ""
                                                       << ""
                                                       << "初二";
    }
    void knownDates() {
        QFETCH(QString, date);
        QFETCH(QString, lunarMonth);
        QFETCH(QString, lunarDay);
        QFETCH(QString, term);
        QFETCH(QString, festival);
        QFETCH(QString, sub);
        const QStringList ymd = date.split(u'-');
        const QJsonObject cell = evaluateJson(
            m_view.get(),
            QStringLiteral("tackoraCalendar.select(%1, %2, %3);"
                           "(function () { var c = document.querySelector('td[data-date=\"%4\"]');"
                           "return JSON.stringify({month: c.dataset.lunarMonth, day: c.dataset.lunarDay,"
                           "term: c.dataset.term, festivals: c.dataset.festivals,"
                           "sub: c.querySelector('.sub').textContent, selected: "
                           "c.classList.contains('selected')}); })()")
                .arg(ymd[0].toInt())
                .arg(ymd[1].toInt())
                .arg(ymd[2].toInt())
                .arg(date));
        QCOMPARE(cell[u"month"].toString(), lunarMonth);
        QCOMPARE(cell[u"day"].toString(), lunarDay);
        QCOMPARE(cell[u"term"].toString(), term);
        if (festival.isEmpty())
            QVERIFY(cell[u"festivals"].toString().isEmpty());
        else
            QVERIFY2(cell[u"festivals"].toString().split(u' ').contains(festival),
                     qPrintable(cell[u"festivals"].toString()));
        QCOMPARE(cell[u"sub"].toString(), sub);
        QVERIFY(cell[u"selected"].toBool());
    }

    void headerNamesTheLunarYear_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2024-06-01") << "tackoraCalendar.select(2024, 6, 1)"
                                    << "甲辰年【龙年】";
        QTest::newRow("2026-07-01") << "tackoraCalendar.select(2026, 7, 1)"
                                    << "丙午年【马年】";
        QTest::newRow("before the Spring Festival") << "tackoraCalendar.select(2026, 2, 16)"
                                                    << "乙巳年【蛇年】";
    }
    void headerNamesTheLunarYear() {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        const QString info =
            evaluate(m_view.get(), script + QStringLiteral("; document.getElementById('info').textContent"))
                .toString();
        QVERIFY2(info.contains(expected), qPrintable(info));
    }

    void monthGridStartsOnMondayAndFits() {
        const QJsonObject grid = evaluateJson(
            m_view.get(),
            QStringLiteral("tackoraCalendar.show(2026, 12);"
                           "JSON.stringify({cells: document.querySelectorAll('#grid tbody td').length,"
                           "first: document.querySelector('#grid tbody td').dataset.date,"
                           "head: document.querySelector('#grid thead th').textContent,"
                           "years: document.getElementById('year').options.length,"
                           "firstYear: document.getElementById('year').options[0].value,"
                           "lastYear: document.getElementById('year').options[198].value,"
                           "bottom: document.getElementById('grid').getBoundingClientRect().bottom,"
                           "right: document.getElementById('grid').getBoundingClientRect().right,"
                           "background: getComputedStyle(document.body).backgroundColor})"));
        QCOMPARE(grid[u"cells"].toInt(), 42);
        QCOMPARE(grid[u"first"].toString(), QStringLiteral("2026-11-30")); // 1 December 2026 is a Tuesday
        QCOMPARE(grid[u"head"].toString(), QStringLiteral("一"));
        QCOMPARE(grid[u"years"].toInt(), 199);
        QCOMPARE(grid[u"firstYear"].toString(), QStringLiteral("1901"));
        QCOMPARE(grid[u"lastYear"].toString(), QStringLiteral("2099"));
        // The whole grid in the window's 827 × 418 pixels.
        QVERIFY2(grid[u"bottom"].toDouble() <= 418, qPrintable(QString::number(grid[u"bottom"].toDouble())));
        QVERIFY(grid[u"right"].toDouble() <= 827);
        QCOMPARE(grid[u"background"].toString(), QStringLiteral("rgb(255, 255, 255)"));
    }

    void navigationAndToday() {
        const QJsonObject after = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "tackoraCalendar.select(2024, 1, 31);"
                "document.getElementById('nextMonth').click();"
                "var a = document.querySelector('td.selected').dataset.date;"
                "document.getElementById('prevYear').click();"
                "var b = document.querySelector('td.selected').dataset.date;"
                "tackoraCalendar.select(2099, 12, 1); document.getElementById('nextYear').click();"
                "var c = document.getElementById('year').value;"
                "document.getElementById('today').click();"
                "JSON.stringify({a: a, b: b, c: c, today: document.querySelectorAll('td.today').length,"
                "todayDate: document.querySelector('td.today').dataset.date})"));
        QCOMPARE(after[u"a"].toString(), QStringLiteral("2024-02-29")); // the 31st kept where it can be
        QCOMPARE(after[u"b"].toString(), QStringLiteral("2023-02-28"));
        QCOMPARE(after[u"c"].toString(), QStringLiteral("2099")); // no year past the list
        QCOMPARE(after[u"today"].toInt(), 1);
        QCOMPARE(after[u"todayDate"].toString(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    }

    void pageHasNoContextMenuBorderOrScrollBars() {
        const QJsonObject page = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "var e = new MouseEvent('contextmenu', {bubbles: true, cancelable: true});"
                "document.querySelector('td').dispatchEvent(e);"
                "JSON.stringify({prevented: e.defaultPrevented, border: document.body.style.border,"
                "scroll: document.body.getAttribute('scroll'), overflow: document.body.style.overflow})"));
        QVERIFY(page[u"prevented"].toBool());
        QCOMPARE(page[u"border"].toString(), QStringLiteral("0px"));
        QCOMPARE(page[u"scroll"].toString(), QStringLiteral("no"));
        QCOMPARE(page[u"overflow"].toString(), QStringLiteral("hidden"));
        QCOMPARE(m_view->contextMenuPolicy(), Qt::NoContextMenu);
    }

    // The board's process says so (see tst_CalendarProcess); here, which step failed.
    void windowWithoutItsPageOrViewSaysWhich() {
        QTemporaryDir dir;
        FakeClock clock;
        int made = 0;
        const auto noView = [&](QWidget *) -> QWidget * {
            ++made;
            return nullptr;
        };
        CalendarWindow window(dir.filePath(QStringLiteral("wnl.dat")), clock, noView);
        QCOMPARE(window.load(-1), std::optional(CalendarWindow::LoadFailure::PageMissing));
        QCOMPARE(made, 0);
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")), "<html></html>");
        QCOMPARE(window.load(-1), std::optional(CalendarWindow::LoadFailure::ViewMissing));
        QCOMPARE(made, 1);
    }

    void windowLoadsThePageWithTheBoardsTransparency_data() {
        QTest::addColumn<QString>("level");
        QTest::addColumn<double>("opacity");
        QTest::newRow("a") << "a" << 230 / 255.0;
        QTest::newRow("b") << "b" << 100 / 255.0;
        QTest::newRow("odd: opaque") << "x" << 1.0;
    }
    void windowLoadsThePageWithTheBoardsTransparency() {
        QFETCH(QString, level);
        QFETCH(double, opacity);
        QTemporaryDir dir;
        // A damaged page still loads: the engine shows what it can.
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")), "<html><body>\xff\xfe broken <table");
        FakeClock clock;
        CalendarPageView *view = nullptr;
        CalendarWindow window(dir.filePath(QStringLiteral("wnl.dat")), clock, [&](QWidget *parent) {
            view = new CalendarPageView(parent);
            return view;
        });
        QCOMPARE(window.size(), QSize(827, 418));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QSignalSpy applied(&window, &CalendarWindow::levelApplied);
        QCOMPARE(window.load(Transparency::levelOf(level)), std::nullopt);
        window.show();
        QVERIFY(view);
        QSignalSpy fixed(view, &CalendarPageView::pageFixed);
        QVERIFY(fixed.wait(20000));
        QTRY_COMPARE(window.windowOpacity(), opacity);
        QCOMPARE(applied.count(), opacity < 1.0 ? 1 : 0);
        QCOMPARE(evaluate(view, QStringLiteral("document.body.style.border")).toString(),
                 QStringLiteral("0px"));
    }

    // A replacement page in another encoding, or a big one, shows as written.
    void pageKeepsItsEncodingAtAnySize_data() {
        QTest::addColumn<QByteArray>("page");
        const QString text = QStringLiteral("万年历 农历");
        QTest::newRow("gb2312 in a meta tag")
            << ("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                "</head><body><p id=\"probe\">" +
                gbk(text) + "</p></body></html>");
        QTest::newRow("gbk as meta charset")
            << ("<!DOCTYPE html><html><head><meta charset=\"gbk\"></head><body><p id=\"probe\">" + gbk(text) +
                "</p></body></html>");
        QTest::newRow("over 2 MB")
            << ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><!--" +
                QByteArray(3 * 1024 * 1024, 'x') + "--><p id=\"probe\">" + text.toUtf8() +
                "</p></body></html>");
    }
    void pageKeepsItsEncodingAtAnySize() {
        QFETCH(QByteArray, page);
        CalendarFixture calendar(page);
        QVERIFY(calendar.open());
        QCOMPARE(
            evaluate(calendar.view,
                     QStringLiteral("var p = document.getElementById('probe'); p ? p.textContent : 'none'"))
                .toString(),
            QStringLiteral("万年历 农历"));
    }

    void pageReadsNothingButItself() {
        QTemporaryDir outside;
        const QString file = outside.filePath(QStringLiteral("secret.txt"));
        writeBytes(file, secret);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        int reached = 0;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                ++reached;
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + secret);
                socket->disconnectFromHost();
            }
        });
        QGuiApplication::clipboard()->setText(QString::fromLatin1(secret));
        CalendarFixture calendar(
            hostilePage(QUrl::fromLocalFile(file).toEncoded(),
                        "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + '/'));
        QVERIFY(calendar.open());
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(calendar.view, QStringLiteral("Object.keys(got).length")).toInt(),
                                  6, 15000);
        const QJsonObject got = evaluateJson(calendar.view, QStringLiteral("JSON.stringify(got)"));
        for (auto it = got.begin(); it != got.end(); ++it)
            QVERIFY2(!it.value().toString().contains(QString::fromLatin1(secret)),
                     qPrintable(it.key() + QStringLiteral(": ") + it.value().toString()));
        QCOMPARE(got[u"server"].toString(), QStringLiteral("refused"));
        QCOMPARE(reached, 0);
    }

    void navigationStaysOnThePage_data() {
        QTest::addColumn<QString>("script"); // FILE: a file's address, SERVER: a server's
        QTest::newRow("to a file") << "location.href = 'FILE'";
        QTest::newRow("to a server") << "location.href = 'SERVER'";
        QTest::newRow("by a link") << "var a = document.createElement('a'); a.href = 'SERVER';"
                                      "document.body.appendChild(a); a.click()";
        QTest::newRow("by a form") << "var f = document.createElement('form'); f.action = 'SERVER';"
                                      "document.body.appendChild(f); f.submit()";
    }
    void navigationStaysOnThePage() {
        QFETCH(QString, script);
        QTemporaryDir outside;
        const QString file = outside.filePath(QStringLiteral("secret.txt"));
        writeBytes(file, secret);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        CalendarFixture calendar(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>page</title></head>"
            "<body><p id=\"probe\">page</p></body></html>");
        QVERIFY(calendar.open());
        const QUrl page = calendar.view->url();
        evaluate(calendar.view,
                 script.replace(QStringLiteral("FILE"), QUrl::fromLocalFile(file).toString())
                     .replace(QStringLiteral("SERVER"),
                              QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort())));
        QTest::qWait(1500);
        QCOMPARE(calendar.view->url(), page);
        QCOMPARE(evaluate(calendar.view, QStringLiteral("document.getElementById('probe').textContent"))
                     .toString(),
                 QStringLiteral("page"));
        QVERIFY(!server.hasPendingConnections());
    }

    // Mode c: the white of the page lets through, the rest not, after every repaint.
    void whiteKeyFollowsThePage_data() {
        QTest::addColumn<bool>("chosenWhileOpen");
        QTest::newRow("c at load") << false;
        QTest::newRow("c chosen while open") << true;
    }
    void whiteKeyFollowsThePage() {
        QFETCH(bool, chosenWhileOpen);
        CalendarFixture calendar(readBytes(builtPage()));
        if (!chosenWhileOpen)
            calendar.level = 2;
        QVERIFY(calendar.open());
        CalendarWindow &window = *calendar.window;
        if (chosenWhileOpen)
            window.startTimer1(2);
        QTRY_VERIFY(!window.mask().isEmpty());
        QTRY_COMPARE(window.mask(), shownShape(&window));
        QVERIFY(!window.mask().contains(QPoint(413, 410))); // the white below the grid
        QCOMPARE(window.windowOpacity(), 1.0);

        const QRegion before = window.mask();
        evaluate(calendar.view, QStringLiteral("tackoraCalendar.show(2030, 5)"));
        QTRY_VERIFY(window.mask() != before);
        QTRY_COMPARE(window.mask(), shownShape(&window));
        QVERIFY(!window.mask().isEmpty());
    }

    void todayFollowsTheClock() {
        CalendarFixture calendar(readBytes(builtPage()));
        calendar.clock.current = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58));
        QVERIFY(calendar.open());
        CalendarPageView *view = calendar.view;
        QTRY_COMPARE(evaluateJson(view, todayState)[u"today"].toString(), QStringLiteral("2026-12-31"));
        QVERIFY(
            evaluateJson(view, todayState)[u"info"].toString().startsWith(QStringLiteral("2026年12月31日")));

        calendar.clock.current = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 1));
        QTRY_COMPARE(evaluateJson(view, todayState)[u"today"].toString(), QStringLiteral("2027-01-01"));
        const QJsonObject newYear = evaluateJson(view, todayState);
        QVERIFY2(newYear[u"info"].toString().startsWith(QStringLiteral("2027年1月1日")),
                 qPrintable(newYear[u"info"].toString()));
        QCOMPARE(newYear[u"shown"].toString(), QStringLiteral("2027-1"));

        // A user looking elsewhere stays there; the mark of today moves all the same.
        evaluate(view, QStringLiteral("tackoraCalendar.select(2030, 5, 20)"));
        calendar.clock.current = QDateTime(QDate(2027, 1, 2), QTime(0, 0, 1));
        QTRY_COMPARE(evaluate(view, QStringLiteral("tackoraCalendar.todayDate()")).toString(),
                     QStringLiteral("2027-01-02"));
        QCOMPARE(evaluateJson(view, todayState)[u"selected"].toString(), QStringLiteral("2030-05-20"));
        evaluate(view, QStringLiteral("tackoraCalendar.show(2027, 1)"));
        QCOMPARE(evaluateJson(view, todayState)[u"today"].toString(), QStringLiteral("2027-01-02"));
        evaluate(view, QStringLiteral("document.getElementById('today').click()"));
        QCOMPARE(evaluateJson(view, todayState)[u"selected"].toString(), QStringLiteral("2027-01-02"));
    }

    void headerStripDragsTheWindow() {
        CalendarFixture calendar(readBytes(builtPage()));
        QVERIFY(calendar.open());
        CalendarWindow &window = *calendar.window;
        window.move(100, 100);
        QWidget *surface = calendar.view->focusProxy();
        QVERIFY(surface);
        const QPoint start = window.pos();

        // A control of the strip keeps its press.
        const QPoint button = centreOf(calendar.view, QStringLiteral("#today"));
        QTest::mousePress(surface, Qt::LeftButton, {}, button);
        QTest::mouseMove(surface, button + QPoint(40, 30));
        evaluate(calendar.view, QStringLiteral("0")); // the page has answered the press
        QCOMPARE(window.pos(), start);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, button + QPoint(40, 30));

        // Below the strip, the grid keeps its press too.
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(400, 200));
        QTest::mouseMove(surface, QPoint(430, 230));
        evaluate(calendar.view, QStringLiteral("0"));
        QCOMPARE(window.pos(), start);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(430, 230));

        // The strip's text drags the window with the pointer.
        const QPoint text = centreOf(calendar.view, QStringLiteral("#info"));
        QVERIFY(text.y() < CalendarPageView::kHeaderStripHeight);
        QTest::mousePress(surface, Qt::LeftButton, {}, text);
        QTest::mouseMove(surface, text + QPoint(60, 40));
        QTRY_COMPARE(window.pos(), start + QPoint(60, 40));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, text);
        QTest::mouseMove(surface, text + QPoint(90, 90)); // released: no more following
        QCOMPARE(window.pos(), start + QPoint(60, 40));
    }

    void escapeAsksToClose() {
        CalendarFixture calendar(readBytes(builtPage()));
        QVERIFY(calendar.open());
        QSignalSpy close(calendar.window.get(), &CalendarWindow::closeRequested);
        calendar.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(calendar.window.get()));
        calendar.view->setFocus(); // the page has the keyboard
        QTest::keyClick(calendar.view->focusProxy(), Qt::Key_A);
        QCOMPARE(close.count(), 0);
        QTest::keyClick(calendar.view->focusProxy(), Qt::Key_Escape);
        QCOMPARE(close.count(), 1);
        // The window manager's close asks the same, and the board decides.
        QVERIFY(!calendar.window->close());
        QCOMPARE(close.count(), 2);
        QVERIFY(calendar.window->isVisible());
    }
};

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // As the program does, with the application there and no web engine yet.
    if (!CalendarPageServer::registerScheme())
        return 1;
    tst_Calendar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Calendar.moc"
