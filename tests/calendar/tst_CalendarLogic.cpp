// SPDX-License-Identifier: MIT
// Where the calendar opens, when its day changes, and the lines between the
// board and the calendar program.
#include "calendar/CalendarPlacement.h"
#include "calendar/CalendarProtocol.h"
#include "calendar/DayWatch.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTest>

class tst_CalendarLogic : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensBesideTheBoard_data() {
        QTest::addColumn<QRect>("board");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1280, 1000);
        // The calendar is 827 × 418.
        QTest::newRow("board at the left: right of it")
            << QRect(100, 100, 300, 700) << screen << QPoint(400, 100);
        QTest::newRow("board at the right: left of it")
            << QRect(950, 50, 300, 700) << screen << QPoint(123, 50);
        QTest::newRow("room both sides: the right, roomier")
            << QRect(1000, 100, 300, 700) << QRect(0, 0, 2560, 1000) << QPoint(1300, 100);
        QTest::newRow("room both sides: the left, roomier")
            << QRect(1400, 100, 300, 700) << QRect(0, 0, 2560, 1000) << QPoint(573, 100);
        QTest::newRow("no room beside: below, kept on screen")
            << QRect(500, 0, 300, 400) << screen << QPoint(453, 400);
        QTest::newRow("room only above") << QRect(500, 550, 300, 450) << screen << QPoint(453, 132);
        QTest::newRow("above and below: below, roomier")
            << QRect(500, 450, 300, 200) << QRect(0, 0, 1280, 1400) << QPoint(453, 650);
        QTest::newRow("above and below: above, roomier")
            << QRect(500, 800, 300, 200) << QRect(0, 0, 1280, 1400) << QPoint(453, 382);
        QTest::newRow("beside a low board: raised onto the screen")
            << QRect(100, 800, 300, 200) << screen << QPoint(400, 582);
        QTest::newRow("below a panel at the top")
            << QRect(100, 30, 300, 700) << QRect(0, 30, 1280, 970) << QPoint(400, 30);
        QTest::newRow("second screen")
            << QRect(1300, 100, 300, 700) << QRect(1280, 0, 1920, 1080) << QPoint(1600, 100);
        // Covered of the board: right 447 × 418, left 527 × 418, below and above 600 × 318.
        QTest::newRow("no room anywhere: covering the least")
            << QRect(300, 100, 600, 800) << screen << QPoint(453, 100);
        QTest::newRow("screen narrower than the calendar: from its left edge")
            << QRect(0, 0, 100, 600) << QRect(0, 0, 800, 600) << QPoint(0, 0);
    }
    void opensBesideTheBoard() {
        QFETCH(QRect, board);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        const QSize size(827, 418);
        const QPoint at = CalendarPlacement::besideBoard(board, available, size);
        QCOMPARE(at, expected);
        const QRect calendar(at, size);
        if (available.width() >= size.width() && available.height() >= size.height())
            QVERIFY(available.contains(calendar));
    }

    void dayWatchTellsEachNewDate() {
        FakeClock clock;
        clock.current = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
        DayWatch watch(clock);
        QSignalSpy changed(&watch, &DayWatch::dayChanged);
        QCOMPARE(watch.today(), QDate(2026, 12, 31));
        watch.check();
        QCOMPARE(changed.count(), 0);

        clock.current = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0));
        watch.check();
        watch.check();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toDate(), QDate(2027, 1, 1));
        QCOMPARE(watch.today(), QDate(2027, 1, 1));

        // The clock set back a day is a new date too.
        clock.current = QDateTime(QDate(2026, 12, 31), QTime(12, 0, 0));
        watch.check();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed[1][0].toDate(), QDate(2026, 12, 31));
    }

    void dayWatchLooksByItself() {
        FakeClock clock;
        DayWatch watch(clock);
        QSignalSpy changed(&watch, &DayWatch::dayChanged);
        clock.current = clock.current.addDays(1);
        QVERIFY(changed.wait(3000));
        QCOMPARE(changed[0][0].toDate(), clock.current.date());
    }

    // Any name a file may have reaches the calendar whole, one line still.
    void pathsSurviveTheLine_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("blanks") << "/home/u/my notes/wnl.dat";
        QTest::newRow("Chinese") << "/home/用户/万年历/wnl.dat";
        QTest::newRow("newline and percent") << "/tmp/a\nb%20c/wnl.dat";
    }
    void pathsSurviveTheLine() {
        QFETCH(QString, path);
        CalendarProtocol::LineBuffer buffer;
        const QByteArray line = CalendarProtocol::line("page", CalendarProtocol::pathArgument(path));
        QCOMPARE(line.count('\n'), 1);
        const QList<CalendarProtocol::Message> messages = buffer.append(line);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].verb, QByteArray("page"));
        QCOMPARE(CalendarProtocol::pathFrom(messages[0].argument), path);
    }

    // A pipe hands over what it has: half a line waits, several come at once.
    void linesArriveInPieces() {
        CalendarProtocol::LineBuffer buffer;
        const QList<CalendarProtocol::Message> first = buffer.append("mode 2\nboa");
        QCOMPARE(first.size(), 1);
        QCOMPARE(first[0].verb, QByteArray("mode"));
        QCOMPARE(CalendarProtocol::levelFrom(first[0].argument), std::optional<int>(2));
        const QList<CalendarProtocol::Message> rest = buffer.append("rd 1 2 3 4\nshow\nqu");
        QCOMPARE(rest.size(), 2);
        QCOMPARE(rest[0].verb, QByteArray("board"));
        QCOMPARE(CalendarProtocol::rectFrom(rest[0].argument), std::optional<QRect>(QRect(1, 2, 3, 4)));
        QCOMPARE(rest[1].verb, QByteArray("show"));
        QVERIFY(rest[1].argument.isEmpty());
        const QList<CalendarProtocol::Message> last = buffer.append("it\n");
        QCOMPARE(last.size(), 1);
        QCOMPARE(last[0].verb, QByteArray("quit"));
    }

    void oddArgumentsAreRefused_data() {
        QTest::addColumn<QByteArray>("argument");
        QTest::addColumn<bool>("isRect");
        QTest::newRow("rect: three numbers") << QByteArray("1 2 3") << true;
        QTest::newRow("rect: no width") << QByteArray("1 2 0 4") << true;
        QTest::newRow("rect: a word") << QByteArray("1 2 x 4") << true;
        QTest::newRow("level: 3") << QByteArray("3") << false;
        QTest::newRow("level: -2") << QByteArray("-2") << false;
        QTest::newRow("level: empty") << QByteArray() << false;
    }
    void oddArgumentsAreRefused() {
        QFETCH(QByteArray, argument);
        QFETCH(bool, isRect);
        if (isRect)
            QVERIFY(!CalendarProtocol::rectFrom(argument));
        else
            QVERIFY(!CalendarProtocol::levelFrom(argument));
    }

    void framesAndLevelsGoThereAndBack() {
        const QRect frame(-20, 35, 300, 700); // a board partly off the screen's left
        QCOMPARE(CalendarProtocol::rectFrom(CalendarProtocol::rectArgument(frame)),
                 std::optional<QRect>(frame));
        for (int level = -1; level <= 2; ++level)
            QCOMPARE(CalendarProtocol::levelFrom(QByteArray::number(level)), std::optional<int>(level));
    }
};

QTEST_GUILESS_MAIN(tst_CalendarLogic)
#include "tst_CalendarLogic.moc"
