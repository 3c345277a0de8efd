// SPDX-License-Identifier: MIT
// The calendar in a process of its own, offscreen: the real program and the
// real calendar program beside it.
#include "board/BoardModel.h"
#include "calendar/CalendarHost.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/types.h>
#include <unistd.h>

namespace {

QString binaryDir() {
    return qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/bin");
}

bool alive(qint64 pid) {
    // A zombie has ended: its parent has not looked yet.
    const QByteArray stat = readBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && stat.size() > close + 2 && stat.at(close + 2) != 'Z';
}

qint64 parentOf(qint64 pid) {
    const QByteArray stat = readBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 ? 0 : stat.mid(close + 2).split(' ').value(1).toLongLong();
}

QByteArray commandOf(qint64 pid) {
    return readBytes(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed();
}

// Every living process below pid, children before grandchildren.
QList<qint64> descendants(qint64 pid) {
    QList<qint64> found{pid};
    const QStringList all = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (qsizetype i = 0; i < found.size(); ++i) {
        for (const QString &entry : all) {
            bool number = false;
            const qint64 candidate = entry.toLongLong(&number);
            if (number && parentOf(candidate) == found[i] && alive(candidate))
                found.append(candidate);
        }
    }
    found.removeFirst();
    return found;
}

qint64 calendarChildOf(qint64 pid) {
    for (qint64 child : descendants(pid)) {
        if (parentOf(child) == pid && commandOf(child) == "tackora-calenda") // comm keeps 15 bytes
            return child;
    }
    return 0;
}

const QByteArray smallPage = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head>"
                             "<body><p>万年历</p></body></html>";

CalendarProcess::Launch realCalendar() {
    return CalendarHost::installedLaunch(binaryDir());
}

// The board's side of the calendar on a program folder of its own: the
// board's state, its settings and dialogs, the calendar program to start.
struct HostFixture {
    explicit HostFixture(CalendarProcess::Launch launch = realCalendar())
        : settings(dir.path() + u'/')
        , host(board, settings, dialogs, std::move(launch), dir.filePath(QStringLiteral("bin")),
               [] { return QRect(100, 100, 300, 700); }) {
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")), smallPage);
    }

    // Opens the calendar as "D" does: true once its window shows.
    bool open() {
        QSignalSpy shown(&host.process(), &CalendarProcess::shown);
        host.toggle();
        return board.isCalendarChecked() && shown.wait(60000);
    }

    QTemporaryDir dir;
    SettingsFile settings;
    BoardModel board;
    RecordingDialogs dialogs;
    CalendarHost host;
};

} // namespace

class tst_CalendarProcess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openAndCloseStartAndEndTheCalendarProgram() {
        HostFixture calendar;
        QVERIFY(calendar.open());
        const qint64 pid = calendar.host.process().processId();
        QVERIFY(pid > 0 && pid != QCoreApplication::applicationPid());
        QCOMPARE(parentOf(pid), QCoreApplication::applicationPid());
        QTRY_VERIFY_WITH_TIMEOUT(!descendants(pid).isEmpty(), 20000); // the engine's helpers
        const QList<qint64> tree = QList<qint64>{pid} + descendants(pid);

        QElapsedTimer closing;
        closing.start();
        calendar.host.toggle();
        QVERIFY(closing.elapsed() < 500); // the board waits for nothing
        QVERIFY(!calendar.board.isCalendarChecked());
        QVERIFY(!calendar.host.process().isRunning());
        for (qint64 gone : tree)
            QTRY_VERIFY_WITH_TIMEOUT(!alive(gone), 5000);
        QVERIFY(calendar.dialogs.shown.isEmpty());
    }

    // Asked, or left without a board, the calendar program ends in order:
    // never left to be killed.
    void calendarProgramEndsInOrder_data() {
        QTest::addColumn<bool>("quitLine");
        QTest::newRow("quit") << true;
        QTest::newRow("end of input") << false;
    }
    void calendarProgramEndsInOrder() {
        QFETCH(bool, quitLine);
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("wnl.dat")), smallPage);
        QProcess calendar;
        calendar.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        calendar.start(realCalendar().program);
        calendar.write("page " + QFile::encodeName(dir.filePath(QStringLiteral("wnl.dat"))) + "\nshow\n");
        QByteArray answers;
        QTRY_VERIFY_WITH_TIMEOUT((answers += calendar.readAllStandardOutput()).contains("shown\n"), 60000);
        QCOMPARE(answers, QByteArray("started\nshown\n"));
        // Ended this way, nothing more is said: no close asked.
        if (quitLine)
            calendar.write("quit\n");
        else
            calendar.closeWriteChannel();
        QVERIFY(calendar.waitForFinished(5000));
        QCOMPARE(calendar.exitStatus(), QProcess::NormalExit);
        QCOMPARE(calendar.exitCode(), 0);
        QCOMPARE(calendar.readAllStandardOutput(), QByteArray());
    }

    // "D" twice in a row: a new calendar while the last one is still ending.
    void reopenedAtOnceIsANewCalendar() {
        HostFixture calendar;
        QVERIFY(calendar.open());
        const qint64 first = calendar.host.process().processId();
        calendar.host.toggle();
        QVERIFY(calendar.open());
        const qint64 second = calendar.host.process().processId();
        QVERIFY(second != first);
        QTRY_VERIFY_WITH_TIMEOUT(!alive(first), 5000);
        QVERIFY(alive(second));
        QVERIFY(calendar.dialogs.shown.isEmpty());
    }

    // Whatever way the calendar program fails, the board says so, clears the
    // check mark and is never held up.
    void failedCalendarIsClosedAndSaysSo_data() {
        QTest::addColumn<QString>("program"); // DIR: the program folder
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("killWhenShown");
        QTest::addColumn<QString>("message");
        const QString real = realCalendar().program;
        QTest::newRow("no such program")
            << "DIR/none" << QStringList() << false << "万年历组件无法加载，不能显示万年历！";
        QTest::newRow("silent program")
            << "sleep" << QStringList{QStringLiteral("30")} << false << "万年历程序没有响应，已将它关闭！";
        QTest::newRow("program ends unasked")
            << "true" << QStringList() << false << "万年历程序意外退出，万年历已关闭！";
        QTest::newRow("calendar killed")
            << real << QStringList() << true << "万年历程序意外退出，万年历已关闭！";
    }
    void failedCalendarIsClosedAndSaysSo() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, killWhenShown);
        QFETCH(QString, message);
        QTemporaryDir elsewhere;
        HostFixture calendar({program.replace(QStringLiteral("DIR"), elsewhere.path()), arguments});
        calendar.host.process().setAnswerTimeouts(500, 60000);
        QSignalSpy failed(&calendar.host.process(), &CalendarProcess::failed);
        QElapsedTimer opening;
        opening.start();
        if (killWhenShown) {
            QVERIFY(calendar.open());
        } else {
            calendar.host.toggle();
            QVERIFY(opening.elapsed() < 500);
        }
        const qint64 pid = calendar.host.process().processId();
        if (killWhenShown)
            ::kill(pid_t(pid), SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(calendar.dialogs.shown.size(), 1, 10000);
        QCOMPARE(calendar.dialogs.shown[0].text, message);
        QCOMPARE(calendar.dialogs.shown[0].icon, MessageIcon::Warning);
        QVERIFY(!calendar.board.isCalendarChecked());
        QVERIFY(!calendar.host.process().isRunning());
        QCOMPARE(failed.count(), 1);
        if (pid > 0)
            QTRY_VERIFY_WITH_TIMEOUT(!alive(pid), 5000);
        // One failure, one message.
        QTest::qWait(100);
        QCOMPARE(calendar.dialogs.shown.size(), 1);
    }

    void missingPageSaysSoAndStartsNothing() {
        HostFixture calendar;
        QFile::remove(calendar.dir.filePath(QStringLiteral("wnl.dat")));
        calendar.host.toggle();
        QCOMPARE(calendar.dialogs.shown.size(), 1);
        QCOMPARE(calendar.dialogs.shown[0].text,
                 QStringLiteral("万年历数据文件wnl,dat丢失！不能正常显示万年历！"));
        QCOMPARE(calendar.dialogs.shown[0].icon, MessageIcon::None);
        QVERIFY(calendar.board.isCalendarChecked()); // as it always was
        QVERIFY(!calendar.host.process().isRunning());
        // The program folder's own page comes first, then the one beside the program.
        QCOMPARE(CalendarHost::pagePathFor(calendar.dir.path() + u'/', binaryDir()),
                 binaryDir() + QStringLiteral("/wnl.dat"));
        writeBytes(calendar.dir.filePath(QStringLiteral("wnl.dat")), smallPage);
        QCOMPARE(CalendarHost::pagePathFor(calendar.dir.path() + u'/', binaryDir()),
                 calendar.dir.filePath(QStringLiteral("wnl.dat")));
    }

    // F_transparent at the opening, then the settings window's choices while open.
    void transparencyReachesTheCalendar_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("atOpen"); // -1: none applied
        QTest::newRow("a") << "a" << 0;
        QTest::newRow("c") << "c" << 2;
        QTest::newRow("odd: opaque") << "x" << -1;
    }
    void transparencyReachesTheCalendar() {
        QFETCH(QString, code);
        QFETCH(int, atOpen);
        HostFixture calendar;
        calendar.settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_transparent"), code);
        QSignalSpy applied(&calendar.host.process(), &CalendarProcess::levelApplied);
        QVERIFY(calendar.open());
        if (atOpen >= 0) {
            QTRY_COMPARE(applied.count(), 1);
            QCOMPARE(applied[0][0].toInt(), atOpen);
        }
        applied.clear();
        calendar.host.transparencyChosen(1);
        QTRY_COMPARE(applied.count(), 1);
        QCOMPARE(applied[0][0].toInt(), 1);
        calendar.host.transparencyChosen(2);
        QTRY_COMPARE(applied.count(), 2);
        QCOMPARE(applied[1][0].toInt(), 2);
    }

    // The program's end, SIGTERM's among them, takes the calendar along at once.
    void programEndEndsTheCalendar() {
        HostFixture calendar;
        QVERIFY(calendar.open());
        const qint64 pid = calendar.host.process().processId();
        QElapsedTimer ending;
        ending.start();
        calendar.host.end();
        QVERIFY2(ending.elapsed() < 2500, qPrintable(QString::number(ending.elapsed())));
        QVERIFY(!alive(pid));
        QVERIFY(calendar.board.isCalendarChecked()); // saved as open, opens at the next start
        QVERIFY(calendar.dialogs.shown.isEmpty());
    }

    // The board's process holds no web engine, and killed outright, it takes
    // the calendar and the engine's helpers along.
    void killedProgramLeavesNoCalendarBehind() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")), "[SYSTEM]\r\nF_calendar=y\r\n");
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(binaryDir() + QStringLiteral("/tackora"),
                      {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        QVERIFY(program.waitForStarted());
        qint64 calendar = 0;
        QTRY_VERIFY_WITH_TIMEOUT((calendar = calendarChildOf(program.processId())) != 0, 20000);
        // The page's engine has started its helpers by now or never will.
        QTRY_VERIFY_WITH_TIMEOUT(!descendants(calendar).isEmpty(), 20000);
        const QList<qint64> tree = descendants(program.processId());
        QVERIFY2(!readBytes(QStringLiteral("/proc/%1/maps").arg(program.processId())).contains("WebEngine"),
                 "the board's process maps a web engine library");

        ::kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished(5000));
        for (qint64 pid : tree)
            QTRY_VERIFY2_WITH_TIMEOUT(!alive(pid),
                                      qPrintable(QStringLiteral("%1 (%2) outlives the program")
                                                     .arg(pid)
                                                     .arg(QString::fromUtf8(commandOf(pid)))),
                                      5000);
    }
};

QTEST_GUILESS_MAIN(tst_CalendarProcess)
#include "tst_CalendarProcess.moc"
