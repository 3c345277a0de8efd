// SPDX-License-Identifier: MIT
// What the calendar page wnl.dat shows and how it answers, in the real web
// engine at the window's 827 × 418: public holidays (休/班) from the pinned
// tables and holidays.json, what a day shows first, the details view, the
// jump to a date, keyboard and wheel.
#include "calendar/CalendarPageServer.h"
#include "calendar/CalendarPageView.h"

#include "PageScript.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWheelEvent>

namespace {
// A list from its words.
QStringList words(const char *text) {
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

QString selectedDate(QWebEngineView *view) {
    return evaluate(view, QStringLiteral("document.querySelector('td.selected').dataset.date")).toString();
}

// Selects the day (its month shown) from "yyyy-MM-dd".
void selectDay(QWebEngineView *view, const QString &date) {
    const QDate day = QDate::fromString(date, Qt::ISODate);
    evaluate(
        view,
        QStringLiteral("tackoraCalendar.select(%1, %2, %3)").arg(day.year()).arg(day.month()).arg(day.day()));
}

// What the cell of a day says: its mark (休/班), the holiday's name, the text
// under the number and its kind, the whole text of its tooltip.
QJsonObject cell(QWebEngineView *view, const QString &date) {
    selectDay(view, date);
    return evaluateJson(
        view, QStringLiteral(
                  "(function () { var c = document.querySelector('td[data-date=\"%1\"]');"
                  "return JSON.stringify({mark: c.dataset.holiday, name: c.dataset.holidayName,"
                  "sub: c.querySelector('.sub').textContent, kind: c.dataset.kind, title: c.title,"
                  "dayColour: getComputedStyle(c.querySelector('.day')).color,"
                  "subColour: getComputedStyle(c.querySelector('.sub')).color,"
                  "subFits: c.querySelector('.sub').scrollWidth <= c.querySelector('.sub').clientWidth});"
                  "})()")
                  .arg(date));
}

// A page file in a folder of its own, with or without a holidays.json.
struct PageFolder {
    PageFolder()
        : copied(QFile::copy(builtPage(), dir.filePath(QStringLiteral("wnl.dat")))) {}

    // Loads the page: true once it has settled on its holiday tables.
    bool open() {
        if (!copied)
            return false;
        view = std::make_unique<CalendarPageView>();
        view->resize(827, 418);
        if (!holidaysFile.isEmpty())
            view->setHolidaysFile(holidaysFile);
        QSignalSpy fixed(view.get(), &CalendarPageView::pageFixed);
        view->loadFile(dir.filePath(QStringLiteral("wnl.dat")));
        view->show();
        return fixed.wait(20000) &&
               QTest::qWaitFor(
                   [&] {
                       return evaluate(view.get(), QStringLiteral("tackoraCalendar.holidaysState()"))
                                  .toString() != u"pending";
                   },
                   10000);
    }

    QTemporaryDir dir;
    bool copied;
    QString holidaysFile; // empty: the one beside the page
    std::unique_ptr<CalendarPageView> view;
};

// A made-up 2027 Spring Festival arrangement: the pinned tables end with 2026.
const QByteArray spring2027 =
    R"([{"day": "2027-02-06", "name": "春节", "work": false, "target": "2027-02-06"},
        {"day": "2027-02-07", "name": "春节", "work": false, "target": "2027-02-06"},
        {"day": "2027-02-13", "name": "春节", "work": true, "target": "2027-02-06"}])";
} // namespace

class tst_CalendarPage : public QObject {
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
        QCOMPARE(evaluate(m_view.get(), QStringLiteral("typeof tackoraCalendar")).toString(),
                 QStringLiteral("object"));
    }
    void cleanupTestCase() { m_view.reset(); }
    void init() { evaluate(m_view.get(), QStringLiteral("tackoraCalendar.showDetails(false)")); }

    // The official arrangements: every 休 and 班 of the month's grid, none else.
    void publicHolidayArrangement_data() {
        QTest::addColumn<QString>("month"); // the grid shown, "yyyy-MM"
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("rest");
        QTest::addColumn<QStringList>("work");
        QTest::newRow("春节 2024")
            << "2024-02"
            << "春节"
            << words(
                   "2024-02-10 2024-02-11 2024-02-12 2024-02-13 2024-02-14 2024-02-15 2024-02-16 2024-02-17")
            << words("2024-02-04 2024-02-18");
        QTest::newRow("国庆 2025")
            << "2025-09"
            << "国庆中秋"
            << words(
                   "2025-10-01 2025-10-02 2025-10-03 2025-10-04 2025-10-05 2025-10-06 2025-10-07 2025-10-08")
            << words("2025-09-28 2025-10-11");
    }
    void publicHolidayArrangement() {
        QFETCH(QString, month);
        QFETCH(QString, name);
        QFETCH(QStringList, rest);
        QFETCH(QStringList, work);
        const QJsonObject grid = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "tackoraCalendar.show(%1, %2);"
                "var marked = function (mark) { return Array.from(document.querySelectorAll("
                "'td[data-holiday=\"' + mark + '\"]')).map(function (c) { return c.dataset.date; }); };"
                "JSON.stringify({rest: marked('休'), work: marked('班'),"
                "names: Array.from(new Set(Array.from(document.querySelectorAll('td[data-holiday-name]'))"
                ".map(function (c) { return c.dataset.holidayName; }).filter(Boolean)))})")
                .arg(month.left(4).toInt())
                .arg(month.mid(5).toInt()));
        QCOMPARE(grid[u"rest"].toVariant().toStringList(), rest);
        QCOMPARE(grid[u"work"].toVariant().toStringList(), work);
        QCOMPARE(grid[u"names"].toVariant().toStringList(), QStringList{name});

        // A working weekend day is no red day; a day off is.
        const QString weekdayColour =
            cell(m_view.get(), QStringLiteral("2024-02-07"))[u"dayColour"].toString();
        const QString sundayColour =
            cell(m_view.get(), QStringLiteral("2024-02-25"))[u"dayColour"].toString();
        QVERIFY(weekdayColour != sundayColour);
        for (const QString &day : work) {
            const QJsonObject c = cell(m_view.get(), day);
            QCOMPARE(c[u"dayColour"].toString(), weekdayColour);
            QVERIFY2(c[u"title"].toString().contains(name), qPrintable(c[u"title"].toString()));
        }
        for (const QString &day : rest)
            QCOMPARE(cell(m_view.get(), day)[u"dayColour"].toString(), sundayColour);
    }

    void yearsWithoutDataHaveNoMarks() {
        const QJsonObject marks =
            evaluateJson(m_view.get(),
                         QStringLiteral("var found = [];"
                                        "[[1990, 10], [2098, 2], [2099, 10]].forEach(function (ym) { "
                                        "tackoraCalendar.show(ym[0], ym[1]);"
                                        "document.querySelectorAll('td[data-holiday]').forEach(function (c) {"
                                        "if (c.dataset.holiday) found.push(c.dataset.date); }); });"
                                        "JSON.stringify({found: found})"));
        QCOMPARE(marks[u"found"].toArray().size(), 0);
    }

    // What a day shows under its number: public holiday, traditional festival,
    // solar term, other observances, lunar day; each kind its own colour.
    void whatADayShowsFirst_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<QString>("kind");
        QTest::newRow("小雪 over 感恩节") << "2018-11-22"
                                          << "小雪"
                                          << "term";
        QTest::newRow("小满 over 全国助残日") << "2017-05-21"
                                              << "小满"
                                              << "term";
        QTest::newRow("夏至 over 父亲节") << "2026-06-21"
                                          << "夏至"
                                          << "term";
        QTest::newRow("寒露 over 世界住房日") << "2052-10-07"
                                              << "寒露"
                                              << "term";
        QTest::newRow("腊八节 over 小寒") << "2017-01-05"
                                          << "腊八节"
                                          << "trad";
        QTest::newRow("端午节 over 芒种") << "2011-06-06"
                                          << "端午节"
                                          << "pub";
        QTest::newRow("中秋节 over 教师节") << "2022-09-10"
                                            << "中秋节"
                                            << "pub";
        QTest::newRow("春节") << "2024-02-10"
                              << "春节"
                              << "pub";
        QTest::newRow("国庆节") << "2024-10-01"
                                << "国庆节"
                                << "pub";
        QTest::newRow("清明: a term and a public holiday") << "2024-04-04"
                                                           << "清明"
                                                           << "pub";
        QTest::newRow("雨水") << "2024-02-19"
                              << "雨水"
                              << "term";
        QTest::newRow("元宵节") << "2024-02-24"
                                << "元宵节"
                                << "trad";
        QTest::newRow("平安夜") << "2024-12-24"
                                << "平安夜"
                                << "obs";
        QTest::newRow("圣诞节") << "2024-12-25"
                                << "圣诞节"
                                << "obs";
        QTest::newRow("愚人节") << "2024-04-01"
                                << "愚人节"
                                << "obs";
        QTest::newRow("感恩节") << "2024-11-28"
                                << "感恩节"
                                << "obs";
        QTest::newRow("lunar day") << "2024-02-11"
                                   << "初二"
                                   << "lunar";
    }
    void whatADayShowsFirst() {
        QFETCH(QString, date);
        QFETCH(QString, sub);
        QFETCH(QString, kind);
        const QJsonObject c = cell(m_view.get(), date);
        QCOMPARE(c[u"sub"].toString(), sub);
        QCOMPARE(c[u"kind"].toString(), kind);
        // Each kind in its own colour: a public holiday never looks like an observance.
        static const QStringList kinds{QStringLiteral("pub"), QStringLiteral("trad"), QStringLiteral("term"),
                                       QStringLiteral("obs"), QStringLiteral("lunar")};
        const QVariantList colours =
            evaluate(
                m_view.get(),
                QStringLiteral(
                    "['2024-02-10', '2024-02-24', '2024-02-19', '2024-12-24', '2024-02-11']"
                    ".map(function (d) { var p = d.split('-'); tackoraCalendar.select(+p[0], +p[1], +p[2]);"
                    "return getComputedStyle(document.querySelector('td[data-date=\"' + d + '\"] .sub'))"
                    ".color; })"))
                .toList();
        QCOMPARE(colours.size(), kinds.size());
        QCOMPARE(c[u"subColour"].toString(), colours[kinds.indexOf(kind)].toString());
        QStringList distinct;
        for (const QVariant &colour : colours)
            distinct << colour.toString();
        distinct.removeDuplicates();
        QCOMPARE(distinct.size(), kinds.size());
    }

    void longNamesEndInAnEllipsis() {
        const QJsonObject c = cell(m_view.get(), QStringLiteral("2025-03-31"));
        QCOMPARE(c[u"sub"].toString(), QStringLiteral("全国中小学生…"));
        QVERIFY(c[u"subFits"].toBool());
        QVERIFY2(c[u"title"].toString().contains(QStringLiteral("全国中小学生安全教育日")),
                 qPrintable(c[u"title"].toString()));
        evaluate(m_view.get(), QStringLiteral("tackoraCalendar.showDetails(true)"));
        QVERIFY(
            evaluate(m_view.get(),
                     QStringLiteral("document.querySelector('#details [data-key=festivals] td').textContent"))
                .toString()
                .contains(QStringLiteral("全国中小学生安全教育日")));
    }

    void pageFillsItsWindow() {
        const QJsonObject size = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "tackoraCalendar.show(2026, 8);" // six full weeks of rows
                "var g = document.getElementById('grid').getBoundingClientRect();"
                "var e = document.scrollingElement;"
                "JSON.stringify({bottom: g.bottom, right: g.right, top: g.top, scrollHeight: e.scrollHeight,"
                "scrollWidth: e.scrollWidth, width: innerWidth, height: innerHeight})"));
        QCOMPARE(size[u"width"].toInt(), 827);
        QCOMPARE(size[u"height"].toInt(), 418);
        QCOMPARE(qRound(size[u"bottom"].toDouble()), 418);
        QCOMPARE(qRound(size[u"right"].toDouble()), 827);
        QCOMPARE(qRound(size[u"top"].toDouble()), CalendarPageView::kHeaderStripHeight);
        QVERIFY(size[u"scrollHeight"].toInt() <= 418);
        QVERIFY(size[u"scrollWidth"].toInt() <= 827);
    }

    // The library's own answers (lunar-javascript as pinned, computed with node).
    void detailsOfTheChosenDay_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("yi");
        QTest::addColumn<QString>("ji");
        QTest::addColumn<QString>("dayGanZhi");
        QTest::addColumn<QString>("zhiShen");
        QTest::addColumn<QString>("holiday"); // part of what the holiday line says
        QTest::newRow("2024-02-10") << "2024-02-10"
                                    << "嫁娶 开光 求嗣 会亲友 安床 牧养 塑绘 针灸"
                                    << "入宅 移徙 出火 分居 安香 作灶 开市 交易 立券 安葬 动土 伐木"
                                    << "甲辰"
                                    << "金匮（黄道）"
                                    << "休 春节放假；距清明节假期（4月4日起）还有 54 天";
        QTest::newRow("2025-10-06") << "2025-10-06"
                                    << "冠笄 沐浴 出行 修造 动土 移徙 入宅 破土 安葬"
                                    << "嫁娶 开市 祭祀 祈福 斋醮 纳采 修坟"
                                    << "戊申"
                                    << "白虎（黑道）"
                                    << "休 国庆中秋放假；";
        QTest::newRow("2024-09-18") << "2024-09-18"
                                    << "祭祀 出行 扫舍 馀事勿取"
                                    << "诸事不宜"
                                    << "乙酉"
                                    << "玉堂（黄道）"
                                    << "距国庆节假期（10月1日起）还有 13 天";
    }
    void detailsOfTheChosenDay() {
        QFETCH(QString, date);
        QFETCH(QString, yi);
        QFETCH(QString, ji);
        QFETCH(QString, dayGanZhi);
        QFETCH(QString, zhiShen);
        QFETCH(QString, holiday);
        selectDay(m_view.get(), date);
        evaluate(m_view.get(), QStringLiteral("document.getElementById('detailsButton').click()"));
        const QJsonObject shown = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "var d = document.getElementById('details'), r = d.getBoundingClientRect(), rows = {};"
                "d.querySelectorAll('tr[data-key]').forEach(function (tr) {"
                "rows[tr.dataset.key] = tr.querySelector('td').textContent; });"
                "JSON.stringify({rows: rows, solar: document.getElementById('dSolar').textContent,"
                "gridShown: document.getElementById('grid').offsetHeight > 0,"
                "inside: r.left >= 0 && r.top >= 0 && r.right <= 827 && r.bottom <= 418 && r.height > 300,"
                "fits: d.scrollHeight <= d.clientHeight && d.scrollWidth <= d.clientWidth})"));
        const QJsonObject rows = shown[u"rows"].toObject();
        QCOMPARE(rows[u"yi"].toString(), yi);
        QCOMPARE(rows[u"ji"].toString(), ji);
        QVERIFY2(rows[u"ganzhi"].toString().endsWith(u' ' + dayGanZhi + u'日'),
                 qPrintable(rows[u"ganzhi"].toString()));
        QCOMPARE(rows[u"zhishen"].toString(), zhiShen);
        QVERIFY2(rows[u"holiday"].toString().contains(holiday), qPrintable(rows[u"holiday"].toString()));
        for (const char *key : {"shengxiao", "xingzuo", "festivals", "buddhist", "taoist", "season", "term",
                                "chongsha", "nayin", "pengzu", "xiu"})
            QVERIFY2(!rows[QLatin1String(key)].toString().isEmpty(), key);
        QVERIFY(shown[u"solar"].toString().startsWith(
            QDate::fromString(date, Qt::ISODate).toString(QStringLiteral("yyyy年M月d日"))));
        QVERIFY(!shown[u"gridShown"].toBool());
        QVERIFY(shown[u"inside"].toBool());
        QVERIFY(shown[u"fits"].toBool());

        evaluate(m_view.get(), QStringLiteral("document.getElementById('back').click()"));
        QVERIFY(evaluate(m_view.get(), QStringLiteral("document.getElementById('grid').offsetHeight > 0"))
                    .toBool());
        QCOMPARE(selectedDate(m_view.get()), date);
    }

    // The days with the most to say (found by going through 1901–2099 with
    // the library): all of it above the back button, nothing cut.
    void detailsFitTheWindow_data() {
        QTest::addColumn<QString>("date");
        QTest::newRow("most festivals") << "1920-03-21";
        QTest::newRow("most Buddhist festivals") << "1901-05-25";
        QTest::newRow("most Taoist festivals") << "1901-12-22";
    }
    void detailsFitTheWindow() {
        QFETCH(QString, date);
        selectDay(m_view.get(), date);
        evaluate(m_view.get(), QStringLiteral("tackoraCalendar.showDetails(true)"));
        const QJsonObject box = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "var d = document.getElementById('details');"
                "var bottom = Math.max.apply(null, Array.from(d.querySelectorAll('.col'))"
                ".map(function (c) { return c.lastElementChild.getBoundingClientRect().bottom; }));"
                "JSON.stringify({bottom: bottom, back: "
                "document.getElementById('back').getBoundingClientRect().top,"
                "status: document.getElementById('status').getBoundingClientRect().top,"
                "fits: d.scrollHeight <= d.clientHeight && d.scrollWidth <= d.clientWidth})"));
        QVERIFY(box[u"fits"].toBool());
        QVERIFY2(box[u"bottom"].toDouble() <= box[u"back"].toDouble(),
                 qPrintable(QString::number(box[u"bottom"].toDouble())));
        QVERIFY(box[u"bottom"].toDouble() <= box[u"status"].toDouble());
    }

    // A day of 三伏 and one of 数九, with the term's exact time.
    void detailsNameTheSeasonAndTerms_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("season");
        QTest::addColumn<QString>("term");
        QTest::newRow("初伏") << "2024-07-20"
                              << "初伏第6天"
                              << "当前 小暑 7月6日 22:20，下一个 大暑 7月22日 15:44";
        QTest::newRow("一九") << "2024-12-25"
                              << "一九第5天"
                              << "当前 冬至 12月21日 17:20，下一个 小寒 1月5日 10:32";
    }
    void detailsNameTheSeasonAndTerms() {
        QFETCH(QString, date);
        QFETCH(QString, season);
        QFETCH(QString, term);
        selectDay(m_view.get(), date);
        evaluate(m_view.get(), QStringLiteral("tackoraCalendar.showDetails(true)"));
        const auto row = [&](const char *key) {
            return evaluate(m_view.get(),
                            QStringLiteral("document.querySelector('#details [data-key=%1] td').textContent")
                                .arg(QLatin1String(key)))
                .toString();
        };
        QCOMPARE(row("season"), season);
        QCOMPARE(row("term"), term);
    }

    void jumpToADate_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month"); // a leap month negative, as the library counts
        QTest::addColumn<QString>("monthText");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("expected"); // the day chosen, or the note when there is none
        QTest::newRow("农历闰二月初一 2023") << "lunar" << 2023 << -2 << "闰二月" << 1 << "2023-03-22";
        QTest::newRow("农历二月初一 2023") << "lunar" << 2023 << 2 << "二月" << 1 << "2023-02-20";
        QTest::newRow("农历闰六月十五 2025") << "lunar" << 2025 << -6 << "闰六月" << 15 << "2025-08-08";
        QTest::newRow("农历正月初一 2024") << "lunar" << 2024 << 1 << "正月" << 1 << "2024-02-10";
        QTest::newRow("公历 2088-05-17") << "solar" << 2088 << 5 << "5月" << 17 << "2088-05-17";
        QTest::newRow("农历腊月 2099: past the list") << "lunar" << 2099 << 12 << "腊月" << 1 << "2100年";
    }
    void jumpToADate() {
        QFETCH(QString, kind);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, monthText);
        QFETCH(int, day);
        QFETCH(QString, expected);
        selectDay(m_view.get(), QStringLiteral("2024-06-15"));
        const QJsonObject form = evaluateJson(
            m_view.get(),
            QStringLiteral(
                "document.getElementById('jumpButton').click();"
                "function pick(id, value) { var s = document.getElementById(id); s.value = String(value);"
                "s.dispatchEvent(new Event('change')); return s.value === String(value); }"
                "var ok = pick('jumpKind', '%1') && pick('jumpYear', %2) && pick('jumpMonth', %3);"
                "var m = document.getElementById('jumpMonth'); var text = m.options[m.selectedIndex].text;"
                "ok = ok && pick('jumpDay', %4);"
                "document.getElementById('jumpGo').click();"
                "JSON.stringify({ok: ok, text: text, selected: "
                "document.querySelector('td.selected').dataset.date,"
                "note: document.getElementById('jumpNote').textContent,"
                "open: document.body.classList.contains('jumping')})")
                .arg(kind)
                .arg(year)
                .arg(month)
                .arg(day));
        QVERIFY(form[u"ok"].toBool());
        QCOMPARE(form[u"text"].toString(), monthText);
        if (expected.endsWith(u'年')) {
            QCOMPARE(form[u"selected"].toString(), QStringLiteral("2024-06-15"));
            QVERIFY2(form[u"note"].toString().contains(expected), qPrintable(form[u"note"].toString()));
            QVERIFY(form[u"open"].toBool());
            evaluate(m_view.get(), QStringLiteral("document.getElementById('jumpClose').click()"));
        } else {
            QCOMPARE(form[u"selected"].toString(), expected);
            QVERIFY(!form[u"open"].toBool());
        }
    }

    void keyboard_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to"); // empty: today
        QTest::newRow("left over a month") << "2024-03-01" << int(Qt::Key_Left) << "2024-02-29";
        QTest::newRow("right over a year") << "2024-12-31" << int(Qt::Key_Right) << "2025-01-01";
        QTest::newRow("up a week") << "2024-03-05" << int(Qt::Key_Up) << "2024-02-27";
        QTest::newRow("down a week") << "2024-02-27" << int(Qt::Key_Down) << "2024-03-05";
        QTest::newRow("page down: next month") << "2024-01-31" << int(Qt::Key_PageDown) << "2024-02-29";
        QTest::newRow("page up: last month") << "2024-03-31" << int(Qt::Key_PageUp) << "2024-02-29";
        QTest::newRow("home: today") << "2030-05-20" << int(Qt::Key_Home) << "";
        QTest::newRow("left at the first day") << "1901-01-01" << int(Qt::Key_Left) << "1901-01-01";
    }
    void keyboard() {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        if (to.isEmpty())
            to = QDate::currentDate().toString(Qt::ISODate);
        m_view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        m_view->setFocus();
        selectDay(m_view.get(), from);
        QTest::keyClick(m_view->focusProxy(), Qt::Key(key));
        if (to != from)
            QTRY_COMPARE(selectedDate(m_view.get()), to);
        QTest::qWait(100);
        QCOMPARE(selectedDate(m_view.get()), to);
        QCOMPARE(evaluate(m_view.get(), QStringLiteral("document.getElementById('month').value")).toInt(),
                 QDate::fromString(to, Qt::ISODate).month());
    }

    void enterOpensAndClosesTheDetails() {
        m_view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        m_view->setFocus();
        selectDay(m_view.get(), QStringLiteral("2024-02-10"));
        const QString open = QStringLiteral("document.body.classList.contains('details')");
        QTest::keyClick(m_view->focusProxy(), Qt::Key_Return);
        QTRY_VERIFY(evaluate(m_view.get(), open).toBool());
        QTest::keyClick(m_view->focusProxy(), Qt::Key_Right); // the chosen day moves on in the details
        QTRY_VERIFY(evaluate(m_view.get(), QStringLiteral("document.getElementById('dSolar').textContent"))
                        .toString()
                        .startsWith(QStringLiteral("2024年2月11日")));
        QTest::keyClick(m_view->focusProxy(), Qt::Key_Return);
        QTRY_VERIFY(!evaluate(m_view.get(), open).toBool());
    }

    void wheelOverTheGridTurnsTheMonth_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("angle"); // of one notch, up positive
        QTest::addColumn<QString>("month");
        QTest::newRow("down over the grid") << QPoint(400, 200) << -120 << "2024-7";
        QTest::newRow("up over the grid") << QPoint(400, 200) << 120 << "2024-5";
        QTest::newRow("over the header") << QPoint(700, 15) << -120 << "2024-6";
    }
    void wheelOverTheGridTurnsTheMonth() {
        QFETCH(QPoint, at);
        QFETCH(int, angle);
        QFETCH(QString, month);
        selectDay(m_view.get(), QStringLiteral("2024-06-15"));
        const QString shown = QStringLiteral(
            "document.getElementById('year').value + '-' + document.getElementById('month').value");
        QWidget *surface = m_view->focusProxy();
        QTest::mouseMove(surface, at);
        QWheelEvent wheel(at, surface->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &wheel);
        if (month != u"2024-6")
            QTRY_COMPARE(evaluate(m_view.get(), shown).toString(), month);
        QTest::qWait(200);
        QCOMPARE(evaluate(m_view.get(), shown).toString(), month);
    }

    // holidays.json beside the page adds years or replaces them; a broken one
    // is left aside with a word in the details, the pinned tables stay.
    void holidaysFile_data() {
        QTest::addColumn<QByteArray>("json"); // null: no file; "DIR": a folder of that name
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("marks"); // "date=mark+name"
        QTest::addColumn<QString>("status");
        const QStringList pinned{QStringLiteral("2024-02-10=休春节"), QStringLiteral("2026-02-17=休春节")};
        QTest::newRow("none") << QByteArray() << "none" << (pinned + words("2027-02-06=")) << "";
        QTest::newRow("a folder of that name") << QByteArray("DIR") << "none" << pinned << "";
        QTest::newRow("adds 2027")
            << spring2027 << "loaded"
            << (pinned + words("2027-02-06=休春节 2027-02-07=休春节 2027-02-13=班春节 2027-02-08="))
            << "holidays.json";
        QTest::newRow("replaces 2026")
            << QByteArray(R"([{"day": "2026-10-01", "name": "国庆节", "work": false, "target": "2026-10-01"},
                             {"day": "2026-10-11", "name": "国庆节", "work": true, "target": "2026-10-01"}])")
            << "loaded"
            << words("2024-02-10=休春节 2026-02-17= 2026-10-02= 2026-10-01=休国庆节 2026-10-11=班国庆节")
            << "holidays.json";
        QTest::newRow("not JSON") << QByteArray(R"([{"day": "2027-02-06", )") << "broken"
                                  << (pinned + words("2027-02-06=")) << "holidays.json 未采用";
        QTest::newRow("a record without a date") << QByteArray(spring2027).replace("2027-02-07", "2027-02-30")
                                                 << "broken" << (pinned + words("2027-02-06=")) << "第 2 条";
        QTest::newRow("work not a truth value") << QByteArray(spring2027).replace("true", "\"yes\"")
                                                << "broken" << (pinned + words("2027-02-06=")) << "第 3 条";
    }
    void holidaysFile() {
        QFETCH(QByteArray, json);
        QFETCH(QString, state);
        QFETCH(QStringList, marks);
        QFETCH(QString, status);
        PageFolder folder;
        const QString file = folder.dir.filePath(QStringLiteral("holidays.json"));
        if (json == "DIR")
            QVERIFY(QDir().mkdir(file));
        else if (!json.isNull())
            writeBytes(file, json);
        QVERIFY(folder.open());
        QCOMPARE(evaluate(folder.view.get(), QStringLiteral("tackoraCalendar.holidaysState()")).toString(),
                 state);
        for (const QString &mark : marks) {
            const QString date = mark.section(u'=', 0, 0);
            const QJsonObject c = cell(folder.view.get(), date);
            QCOMPARE(c[u"mark"].toString() + c[u"name"].toString(), mark.section(u'=', 1));
        }
        evaluate(folder.view.get(), QStringLiteral("tackoraCalendar.showDetails(true)"));
        const QString said =
            evaluate(folder.view.get(), QStringLiteral("document.getElementById('status').textContent"))
                .toString();
        if (status.isEmpty())
            QCOMPARE(said, QString());
        else
            QVERIFY2(said.contains(status), qPrintable(said));
    }

    // An installed page comes from elsewhere: the program folder's
    // holidays.json is the one read, not the one beside the page.
    void holidaysFromTheProgramFolder() {
        PageFolder folder;
        writeBytes(folder.dir.filePath(QStringLiteral("holidays.json")), "not read");
        QTemporaryDir programFolder;
        folder.holidaysFile = programFolder.filePath(QStringLiteral("holidays.json"));
        writeBytes(folder.holidaysFile, spring2027);
        QVERIFY(folder.open());
        QCOMPARE(evaluate(folder.view.get(), QStringLiteral("tackoraCalendar.holidaysState()")).toString(),
                 QStringLiteral("loaded"));
        const QJsonObject c = cell(folder.view.get(), QStringLiteral("2027-02-13"));
        QCOMPARE(c[u"mark"].toString() + c[u"name"].toString(), QStringLiteral("班春节"));
    }

    // The page's folder gives the page holidays.json and nothing else of its.
    void serverGivesOnlyHolidaysBesideThePage() {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("holidays.json")), "[]");
        writeBytes(dir.filePath(QStringLiteral("setup.ini")), "secret");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        writeBytes(dir.filePath(QStringLiteral("sub/holidays.json")), "secret");
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")),
                   "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><script>\n"
                   "var got = {};\n"
                   "['holidays.json', 'setup.ini', 'sub/holidays.json', 'holidays.json?x', '/holidays.json/',"
                   " 'M0.rtf'].forEach(function (name) {\n"
                   "  var x = new XMLHttpRequest(); x.open('GET', name);\n"
                   "  x.onload = function () { got[name] = x.status + ' ' + x.responseText; };\n"
                   "  x.onerror = function () { got[name] = 'refused'; }; x.send(); });\n"
                   "</script></body></html>");
        CalendarPageView view;
        QSignalSpy fixed(&view, &CalendarPageView::pageFixed);
        view.loadFile(dir.filePath(QStringLiteral("wnl.dat")));
        view.show();
        QVERIFY(fixed.wait(20000));
        QTRY_COMPARE(evaluate(&view, QStringLiteral("Object.keys(got).length")).toInt(), 6);
        const QJsonObject got = evaluateJson(&view, QStringLiteral("JSON.stringify(got)"));
        QCOMPARE(got[u"holidays.json"].toString(), QStringLiteral("200 []"));
        for (auto it = got.begin(); it != got.end(); ++it) {
            if (it.key() != u"holidays.json")
                QCOMPARE(it.value().toString(), QStringLiteral("refused"));
        }
    }

    // The page as the user sees it, grid and details, saved beside the build.
    void screenshots() {
        selectDay(m_view.get(), QStringLiteral("2024-02-10"));
        QTest::qWait(300);
        const QString folder = qEnvironmentVariable("TACKORA_BINARY_DIR");
        const QImage grid = m_view->grab().toImage();
        evaluate(m_view.get(), QStringLiteral("tackoraCalendar.showDetails(true)"));
        QTest::qWait(300);
        const QImage details = m_view->grab().toImage();
        QCOMPARE(grid.size(), QSize(827, 418));
        QVERIFY(grid != details);
        QVERIFY(grid.save(folder + QStringLiteral("/calendar-page-grid.png")));
        QVERIFY(details.save(folder + QStringLiteral("/calendar-page-details.png")));
        evaluate(m_view.get(),
                 QStringLiteral("tackoraCalendar.showDetails(false);"
                                "document.getElementById('jumpButton').click();"
                                "var k = document.getElementById('jumpKind'); k.value = 'lunar';"
                                "k.dispatchEvent(new Event('change'));"
                                "var y = document.getElementById('jumpYear'); y.value = '2023';"
                                "y.dispatchEvent(new Event('change'));"
                                "document.getElementById('jumpMonth').value = '-2';"));
        QTest::qWait(300);
        const QImage jump = m_view->grab().toImage();
        evaluate(m_view.get(), QStringLiteral("document.getElementById('jumpClose').click()"));
        QVERIFY(jump != grid);
        QVERIFY(jump.save(folder + QStringLiteral("/calendar-page-jump.png")));
    }
};

int main(int argc, char **argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (!CalendarPageServer::registerScheme())
        return 1;
    tst_CalendarPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CalendarPage.moc"
