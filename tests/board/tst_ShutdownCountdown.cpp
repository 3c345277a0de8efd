// SPDX-License-Identifier: MIT
#include "board/ClockPanel.h"
#include "board/ShutdownCountdown.h"
#include "board/ShutdownCountdownWindow.h"
#include "common/ProcessValues.h"

#include "TestSupport.h"

#include <QPushButton>
#include <QTest>

namespace {

// The clock panel and the countdown wired as the program wires them.
struct Fixture {
    FakeClock clock;
    RecordingShutdownRunner runner;
    RecordingStatus status;
    ProcessValues values;
    ClockPanel panel{clock, runner, values};
    ShutdownCountdown countdown{clock, runner, status, values};

    Fixture() {
        values.ShutdownTime = QStringLiteral("17:30:00");
        QObject::connect(&panel, &ClockPanel::shutdownStarted, &countdown, &ShutdownCountdown::started);
    }
    void at(const QDateTime &moment) {
        clock.current = moment;
        panel.tick();
        countdown.tick();
    }
};

QDateTime day1(int h, int m, int s) {
    return QDateTime(QDate(2026, 12, 10), QTime(h, m, s));
}

} // namespace

class tst_ShutdownCountdown : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Steps: "tick", "postpone" or "skip" at a moment; then the commands
    // handed to the system, in order.
    void choices_data() {
        QTest::addColumn<QList<QDateTime>>("moments");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("statuses");
        const QString s = QStringLiteral("shutdown:") + ShutdownWarningText();
        const QString c = QStringLiteral("cancel");
        const QString tick = QStringLiteral("tick");
        const QString postpone = QStringLiteral("postpone");
        const QString skip = QStringLiteral("skip");
        QTest::newRow("let it run") << QList<QDateTime>{day1(17, 29, 59), day1(17, 30, 0), day1(17, 30, 30),
                                                        day1(17, 31, 0),  day1(17, 31, 1), day1(17, 40, 0),
                                                        day1(17, 41, 0)}
                                    << QStringList{tick, tick, tick, tick, postpone, tick, tick}
                                    << QStringList{s} << QStringList{};
        QTest::newRow("postpone once")
            << QList<QDateTime>{day1(17, 30, 0), day1(17, 30, 5), day1(17, 40, 4),
                                day1(17, 40, 5), day1(17, 41, 5), day1(17, 50, 5)}
            << QStringList{tick, postpone, tick, tick, tick, tick} << QStringList{s, c, s}
            << QStringList{QStringLiteral("关机已推迟10分钟，将于17:40:05关机")};
        QTest::newRow("postpone twice")
            << QList<QDateTime>{day1(17, 30, 0),  day1(17, 30, 5),  day1(17, 40, 5), day1(17, 40, 20),
                                day1(17, 50, 19), day1(17, 50, 20), day1(18, 0, 20)}
            << QStringList{tick, postpone, tick, postpone, tick, tick, tick} << QStringList{s, c, s, c, s}
            << QStringList{QStringLiteral("关机已推迟10分钟，将于17:40:05关机"),
                           QStringLiteral("关机已推迟10分钟，将于17:50:20关机")};
        QTest::newRow("no shutdown today, the next day it fires")
            << QList<QDateTime>{day1(17, 30, 0),
                                day1(17, 30, 10),
                                day1(17, 40, 10),
                                day1(23, 59, 59),
                                day1(17, 29, 59).addDays(1),
                                day1(17, 30, 0).addDays(1)}
            << QStringList{tick, skip, tick, tick, tick, tick} << QStringList{s, c, s}
            << QStringList{QStringLiteral("今天不关机，明天17:30:00照常关机")};
        QTest::newRow("postponed, then no shutdown today")
            << QList<QDateTime>{day1(17, 30, 0), day1(17, 30, 5), day1(17, 40, 5),
                                day1(17, 40, 6), day1(17, 50, 6), day1(18, 0, 0)}
            << QStringList{tick, postpone, tick, skip, tick, tick} << QStringList{s, c, s, c}
            << QStringList{QStringLiteral("关机已推迟10分钟，将于17:40:05关机"),
                           QStringLiteral("今天不关机，明天17:30:00照常关机")};
    }
    void choices() {
        QFETCH(QList<QDateTime>, moments);
        QFETCH(QStringList, steps);
        Fixture f;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            f.clock.current = moments[i];
            if (steps[i] == u"tick")
                f.at(moments[i]);
            else if (steps[i] == u"postpone")
                f.countdown.postpone();
            else
                f.countdown.skipToday();
        }
        QTEST(f.runner.calls, "calls");
        QTEST(f.status.shown, "statuses");
    }

    void secondsLeftOfTheMinute() {
        Fixture f;
        f.at(day1(17, 30, 0));
        QVERIFY(f.countdown.isActive());
        QCOMPARE(f.countdown.secondsLeft(), 60);
        f.at(day1(17, 30, 15));
        QCOMPARE(f.countdown.secondsLeft(), 45);
        f.at(day1(17, 31, 0));
        QVERIFY(!f.countdown.isActive());
    }

    void theWindow() {
        Fixture f;
        ShutdownCountdownWindow window(f.countdown);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!window.isModal());
        QVERIFY(!window.testAttribute(Qt::WA_QuitOnClose));
        f.at(day1(17, 30, 0));
        QVERIFY(window.isVisible());
        f.at(day1(17, 30, 20));
        QCOMPARE(window.text(), QStringLiteral("电脑将在40秒后关机，请及时保存手头工作！"));
        window.findChild<QPushButton *>(QStringLiteral("postpone"))->click();
        QVERIFY(!window.isVisible());
        f.at(day1(17, 40, 20));
        QVERIFY(window.isVisible());
        window.findChild<QPushButton *>(QStringLiteral("skipToday"))->click();
        QVERIFY(!window.isVisible());
        const QString s = QStringLiteral("shutdown:") + ShutdownWarningText();
        QCOMPARE(f.runner.calls, (QStringList{s, QStringLiteral("cancel"), s, QStringLiteral("cancel")}));
    }

    void closingTheWindowChangesNothing() {
        Fixture f;
        ShutdownCountdownWindow window(f.countdown);
        f.at(day1(17, 30, 0));
        QVERIFY(window.isVisible());
        QVERIFY(window.close());
        f.at(day1(17, 30, 30));
        f.at(day1(17, 40, 30));
        QCOMPARE(f.runner.calls, QStringList{QStringLiteral("shutdown:") + ShutdownWarningText()});
        QCOMPARE(f.status.shown, QStringList{});
    }
};

QTEST_MAIN(tst_ShutdownCountdown)
#include "tst_ShutdownCountdown.moc"
