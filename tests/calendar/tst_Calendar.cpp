// SPDX-License-Identifier: MIT
// The calendar page wnl.dat as built, in the real web engine, and the
// window around it.
#include "calendar/CalendarPageView.h"
#include "calendar/CalendarWindow.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

namespace {
QString builtPage() {
    return qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/bin/wnl.dat");
}

// The value of script in view's page, waiting for it.
QVariant evaluate(QWebEngineView *view, const QString &script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("script did not answer: %s", qPrintable(script));
    return result;
}

QJsonObject evaluateJson(QWebEngineView *view, const QString &script) {
    return QJsonDocument::fromJson(evaluate(view, script).toString().toUtf8()).object();
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
        m_view->loadPage(readBytes(builtPage()), QUrl::fromLocalFile(builtPage()));
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

    void windowWithoutItsPageSaysSo() {
        QTemporaryDir dir;
        SettingsFile settings(dir.path() + u'/');
        RecordingDialogs dialogs;
        int made = 0;
        CalendarWindow window(dir.filePath(QStringLiteral("wnl.dat")), settings, dialogs,
                              [&](QWidget *parent) {
                                  ++made;
                                  return new QWidget(parent);
                              });
        QVERIFY(!window.load());
        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("万年历数据文件wnl,dat丢失！不能正常显示万年历！"));
        QCOMPARE(dialogs.shown[0].icon, MessageIcon::None);
        QCOMPARE(made, 0);
        QCOMPARE(CalendarWindow::pagePathFor(dir.path() + u'/', dir.filePath(QStringLiteral("none"))),
                 dir.filePath(QStringLiteral("wnl.dat")));
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
        SettingsFile settings(dir.path() + u'/');
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_transparent"), level);
        // A damaged page still loads: the engine shows what it can.
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")), "<html><body>\xff\xfe broken <table");
        RecordingDialogs dialogs;
        CalendarPageView *view = nullptr;
        CalendarWindow window(dir.filePath(QStringLiteral("wnl.dat")), settings, dialogs,
                              [&](QWidget *parent) {
                                  view = new CalendarPageView(parent);
                                  return view;
                              });
        QCOMPARE(window.size(), QSize(827, 418));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.load());
        window.show();
        QVERIFY(view);
        QSignalSpy fixed(view, &CalendarPageView::pageFixed);
        QVERIFY(fixed.wait(20000));
        QTRY_COMPARE(window.windowOpacity(), opacity);
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(evaluate(view, QStringLiteral("document.body.style.border")).toString(),
                 QStringLiteral("0px"));
    }
};

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_Calendar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Calendar.moc"
