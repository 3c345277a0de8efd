// SPDX-License-Identifier: MIT
// The real program on a real X display (see run-x11.sh): started on a fresh
// program folder, driven with xdotool, ended the way a desktop ends it.
#include "settings/SettingsFile.h"

#include "E2eSupport.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <csignal>

using namespace e2e;

namespace {

// Where the window is and how large, as the display has it.
QRect windowGeometry(const QString &window) {
    static const QRegularExpression size(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    const QRegularExpressionMatch match = size.match(xdotool({QStringLiteral("getwindowgeometry"), window}));
    return match.hasMatch()
               ? QRect(windowPosition(window), QSize(match.captured(1).toInt(), match.captured(2).toInt()))
               : QRect();
}

bool processAlive(qint64 pid) {
    // A zombie has ended; only its parent has not looked yet.
    const QByteArray stat = readBytes(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close > 0 && stat.size() > close + 2 && stat.at(close + 2) != 'Z';
}

} // namespace

class tst_EndToEnd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
    }

    // A memo's balloon is the desktop's notification (dunst here): it lands in
    // the notification history, not only on a bubble the tray draws.
    void memoBalloonReachesTheDesktopsNotifications() {
        if (command(QStringLiteral("dunstctl"), {QStringLiteral("count"), QStringLiteral("displayed")})
                .isEmpty())
            QSKIP("dunstctl (Debian package dunst) does not answer: no notification daemon in this session");
        QTemporaryDir home;
        const QDateTime due = QDateTime::currentDateTime().addSecs(8); // after the start, even a slow one
        SettingsFile settings(home.path() + u'/');
        QVERIFY(settings.WriteSetting(
            QStringLiteral("MEMO"), QStringLiteral("M0"),
            QStringLiteral("1|日|1|%1|e2e").arg(due.toString(QStringLiteral("HH:mm:ss")))));
        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        QVERIFY(!waitForWindow(kBoardTitle).isEmpty());
        const auto history = [] {
            command(QStringLiteral("dunstctl"),
                    {QStringLiteral("close-all")}); // shown ones move to the history
            return command(QStringLiteral("dunstctl"), {QStringLiteral("history")});
        };
        QVERIFY2(
            waitUntil([&] { return history().contains(QStringLiteral("便笺[0]设定提醒时间到")); }, 40000),
            qPrintable(history()));
        QVERIFY(history().contains(QStringLiteral("便笺提醒")));
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

    void startsShowsTheBoardAndSavesItsLayoutOnSigterm() {
        QTemporaryDir home;
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(programPath(), {QStringLiteral("--home"), home.path()});
        QVERIFY(program.waitForStarted());

        // The splash comes first, then the board replaces it.
        QVERIFY(!waitForWindow(QStringLiteral("Tackora")).isEmpty());
        const QString board = waitForWindow(QStringLiteral("Tackora V1.0"));
        QVERIFY(!board.isEmpty());
        QTRY_VERIFY(!windowVisible(QStringLiteral("Tackora")));
        const SettingsFile settings(home.path());
        QCOMPARE(settings.ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M0")),
                 QStringLiteral("0|年|01-10|00:00:00|双击左边时间编辑便笺……"));

        xdotool({QStringLiteral("windowmove"), board, QStringLiteral("300"), QStringLiteral("200")});
        QTRY_COMPARE(
            xdotool({QStringLiteral("getwindowgeometry"), board}).contains(QStringLiteral("300,200")), true);
        QTest::qWait(200);

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_left")),
                 QStringLiteral("4500"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")),
                 QStringLiteral("3000"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show")),
                 QStringLiteral("a"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_calendar")),
                 QStringLiteral("n"));
    }

    void secondCopyWarnsAndLeavesTheSettingsAlone() {
        QTemporaryDir home;
        QProcess first;
        first.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        QVERIFY(!waitForWindow(QStringLiteral("Tackora V1.0")).isEmpty());
        const QString settingsPath = home.filePath(QStringLiteral("setup.ini"));
        const QByteArray before = readBytes(settingsPath);
        QVERIFY(!before.isEmpty());

        QProcess second;
        second.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        const QString warning = waitForWindow(QStringLiteral("警告"));
        QVERIFY(!warning.isEmpty());
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), warning, QStringLiteral("Return")});
        // The box is gone before xdotool can send the release: release the key
        // here, or the next program sees Return held down.
        xdotool({QStringLiteral("keyup"), QStringLiteral("Return")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(readBytes(settingsPath), before);

        first.terminate();
        QVERIFY(first.waitForFinished(10000));
    }

    // Starting the program again brings back a board hidden in the tray; the
    // second copy still only warns.
    void secondCopyBringsBackABoardHiddenInTheTray() {
        QTemporaryDir home;
        QProcess first;
        startProgram(first, home.path());
        QVERIFY(!waitForWindow(kBoardTitle).isEmpty());
        QVERIFY(clickTrayIcon(1));
        QVERIFY(waitUntil([] { return !windowVisible(kBoardTitle); }, 5000));

        QProcess second;
        startProgram(second, home.path());
        const QString warning = waitForWindow(QStringLiteral("警告"));
        QVERIFY(!warning.isEmpty());
        QVERIFY(!waitForWindow(kBoardTitle, 5000).isEmpty());
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), warning, QStringLiteral("Return")});
        xdotool({QStringLiteral("keyup"), QStringLiteral("Return")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);

        QVERIFY(terminateProgram(first));
        QCOMPARE(SettingsFile(home.path()).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show")),
                 QStringLiteral("a"));
    }

    void trayIconHidesAndShowsTheBoardAndOpensTheMenu() {
        QTemporaryDir home;
        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        QVERIFY(!waitForWindow(QStringLiteral("Tackora V1.0")).isEmpty());
        QVERIFY(clickTrayIcon(1));
        QTRY_VERIFY_WITH_TIMEOUT(!windowVisible(QStringLiteral("Tackora V1.0")), 5000);
        QVERIFY(clickTrayIcon(1));
        QVERIFY(!waitForWindow(QStringLiteral("Tackora V1.0"), 5000).isEmpty());

        QVERIFY(clickTrayIcon(1));
        QTRY_VERIFY_WITH_TIMEOUT(!windowVisible(QStringLiteral("Tackora V1.0")), 5000);
        // The menu pops up, also while the board is hidden.
        QVERIFY(clickTrayIcon(3));
        QVERIFY(!waitForWindow(QStringLiteral("程序菜单"), 10000).isEmpty());
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        const SettingsFile settings(home.path());
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show")),
                 QStringLiteral("b"));
        // The icon goes with the program.
        QVERIFY(trayIconCentre().isNull());
    }

    // What is typed in the memo editor survives Enter in a field and Escape;
    // Alt+S stores it, and the window's close command closes the editor.
    void memoEditorKeepsTypedTextAgainstEnterAndEscape() {
        QTemporaryDir home;
        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        const QString board = waitForWindow(QStringLiteral("Tackora V1.0"));
        QVERIFY(!board.isEmpty());
        const auto clickAt = [](const QString &window, int x, int y, int repeat) {
            xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
                     QString::number(y)});
            xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(repeat),
                     QStringLiteral("1")});
        };
        // Double-click memo 0's time cell: below the clock strip and the memo header.
        clickAt(board, 60, (1091 + 375 + 120) / 15, 2);
        const QString editor = waitForWindow(QStringLiteral("便笺 (ALT+F4关闭)"));
        QVERIFY(!editor.isEmpty());
        const auto keys = [&](const QStringList &names) {
            for (const QString &name : names)
                xdotool({QStringLiteral("key"), QStringLiteral("--window"), editor, name});
        };
        clickAt(editor, 200, 100, 1); // the body
        xdotool({QStringLiteral("type"), QStringLiteral("--window"), editor, QStringLiteral("keep me")});
        keys({QStringLiteral("Escape")});
        clickAt(editor, 2400 / 15 + 40, (7320 + 240 + 150) / 15, 1); // the title box
        keys({QStringLiteral("ctrl+a")});
        xdotool({QStringLiteral("type"), QStringLiteral("--window"), editor, QStringLiteral("Title")});
        keys({QStringLiteral("Return"), QStringLiteral("Escape"), QStringLiteral("alt+s")});
        QTRY_COMPARE_WITH_TIMEOUT(
            SettingsFile(home.path()).ReadSetting(QStringLiteral("MEMO"), QStringLiteral("M0")),
            QStringLiteral("0|年|01-10|00:00:00|Title"), 10000);
        QVERIFY(windowVisible(QStringLiteral("便笺 (ALT+F4关闭)")));
        QVERIFY(readBytes(home.filePath(QStringLiteral("M0.rtf"))).contains("keep me"));
        // No window manager here: the close command is the window's own close request.
        xdotool({QStringLiteral("windowclose"), editor});
        QTRY_VERIFY_WITH_TIMEOUT(!windowVisible(QStringLiteral("便笺 (ALT+F4关闭)")), 5000);
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

    void alwaysOnTopAndTransparencyReachTheWindowSystem() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")), "[SYSTEM]\r\nF_up=1\r\nF_transparent=b\r\n");
        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        const QString board = waitForWindow(QStringLiteral("Tackora V1.0"));
        QVERIFY(!board.isEmpty());
        QTRY_VERIFY(
            command(QStringLiteral("xprop"), {QStringLiteral("-id"), board, QStringLiteral("_NET_WM_STATE")})
                .contains(QStringLiteral("_NET_WM_STATE_ABOVE")));
        // Half transparency is alpha 100 of 255.
        QTRY_VERIFY(command(QStringLiteral("xprop"),
                            {QStringLiteral("-id"), board, QStringLiteral("_NET_WM_WINDOW_OPACITY")})
                        .contains(QString::number(qRound64(100 / 255.0 * 0xFFFFFFFFu))));
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

    void hiddenBoardStaysHiddenAndKeepsItsPosition() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")),
                   "[SYSTEM]\r\nF_top=600\r\nF_left=900\r\nF_show=b\r\nF_up=1\r\nF_lock=y\r\n");
        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        QVERIFY(program.waitForStarted());
        QTest::qWait(1500);
        QVERIFY(!windowVisible(QStringLiteral("Tackora V1.0")));
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        const SettingsFile settings(home.path());
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show")),
                 QStringLiteral("b"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")),
                 QStringLiteral("600"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_up")), QStringLiteral("1"));
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_lock")),
                 QStringLiteral("y"));
    }

    void backgroundComesBackAndTheSafeTileOpensTheSafe() {
        QTemporaryDir home;
        // A saved copy as the board left it: bitmap data under a JPEG name.
        const QString copy = home.filePath(QStringLiteral("bj.jpg"));
        QCOMPARE(QProcess::execute(QStringLiteral("convert"),
                                   {QStringLiteral("-size"), QStringLiteral("319x316"),
                                    QStringLiteral("xc:#C81E50"), QStringLiteral("bmp3:") + copy}),
                 0);
        writeBytes(home.filePath(QStringLiteral("setup.ini")),
                   "[SYSTEM]\r\nF_top=1500\r\nF_left=1500\r\n[FILEBOX]\r\nFB_pic=" + copy.toUtf8() + "\r\n");
        QProcess setKey;
        setKey.start(
            qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/bin/tackora-cli"),
            {QStringLiteral("--home"), home.path(), QStringLiteral("safe"), QStringLiteral("set-key")});
        setKey.write("Key12345\nansr\n");
        setKey.closeWriteChannel();
        QVERIFY(setKey.waitForFinished(10000));
        QCOMPARE(setKey.exitCode(), 0);

        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        const QString board = waitForWindow(QStringLiteral("Tackora V1.0"));
        QVERIFY(!board.isEmpty());
        QTest::qWait(300);
        // Tile 0's top left corner shows the picture.
        const QString pixel =
            command(QStringLiteral("import"), {QStringLiteral("-window"), board, QStringLiteral("-crop"),
                                               QStringLiteral("1x1+8+384"), QStringLiteral("txt:-")});
        QVERIFY2(pixel.contains(QStringLiteral("srgb(200,30,80)")), qPrintable(pixel));

        // The safe's label, at 264,668 on the board.
        const QRegularExpressionMatch position =
            QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)"))
                .match(xdotool({QStringLiteral("getwindowgeometry"), board}));
        QVERIFY(position.hasMatch());
        xdotool({QStringLiteral("mousemove"), QString::number(position.captured(1).toInt() + 264),
                 QString::number(position.captured(2).toInt() + 668)});
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        const QString question = waitForWindow(QStringLiteral("【文件保险柜】"), 10000);
        QVERIFY(!question.isEmpty());
        xdotool({QStringLiteral("type"), QStringLiteral("--window"), question, QStringLiteral("Key12345")});
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), question, QStringLiteral("Return")});
        xdotool({QStringLiteral("keyup"), QStringLiteral("Return")});
        const QString safe = waitForWindow(QStringLiteral("文件保险柜"), 10000);
        QVERIFY(!safe.isEmpty());
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), safe, QStringLiteral("Escape")});
        xdotool({QStringLiteral("keyup"), QStringLiteral("Escape")});
        QTRY_VERIFY(!windowVisible(QStringLiteral("文件保险柜")));

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
    }

    void calendarOpensAtStartAndTheBoardsButtonTogglesIt() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")),
                   "[SYSTEM]\r\nF_top=1500\r\nF_left=1500\r\nF_calendar=y\r\nF_transparent=b\r\n");
        QProcess program;
        program.start(programPath(), {QStringLiteral("--home"), home.path(), QStringLiteral("--no-splash")});
        const QString board = waitForWindow(QStringLiteral("Tackora V1.0"));
        QVERIFY(!board.isEmpty());
        // The page comes from the copy built beside the program.
        const QString calendar = waitForWindow(QStringLiteral("万年历"), 20000);
        QVERIFY(!calendar.isEmpty());
        QTRY_VERIFY(command(QStringLiteral("xprop"),
                            {QStringLiteral("-id"), calendar, QStringLiteral("_NET_WM_WINDOW_OPACITY")})
                        .contains(QString::number(qRound64(100 / 255.0 * 0xFFFFFFFFu))));
        // Beside the board, though it is another program's window.
        QVERIFY(!windowGeometry(calendar).isEmpty());
        QVERIFY2(!windowGeometry(calendar).intersects(windowGeometry(board)),
                 qPrintable(xdotool({QStringLiteral("getwindowgeometry"), calendar})));

        // Out of the board's way, then "D" on the file-box header, at 252,364 on the board.
        xdotool({QStringLiteral("windowmove"), calendar, QStringLiteral("700"), QStringLiteral("0")});
        const QRegularExpressionMatch position =
            QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)"))
                .match(xdotool({QStringLiteral("getwindowgeometry"), board}));
        QVERIFY(position.hasMatch());
        const QString x = QString::number(position.captured(1).toInt() + 252);
        const QString y = QString::number(position.captured(2).toInt() + 364);
        xdotool({QStringLiteral("mousemove"), x, y});
        xdotool({QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(!windowVisible(QStringLiteral("万年历")), 10000);

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        const SettingsFile settings(home.path());
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_calendar")),
                 QStringLiteral("n"));
    }

    // The calendar is a program of its own, started by the board and never
    // outliving it, killed or not.
    void calendarRunsApartAndDiesWithTheBoard_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGKILL") << int(SIGKILL);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void calendarRunsApartAndDiesWithTheBoard() {
        QFETCH(int, signal);
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")), "[SYSTEM]\r\nF_calendar=y\r\n");
        QProcess program;
        startProgram(program, home.path());
        QVERIFY(!waitForWindow(kBoardTitle).isEmpty());
        const QString calendar = waitForWindow(QStringLiteral("万年历"), 20000);
        QVERIFY(!calendar.isEmpty());
        const qint64 pid = xdotool({QStringLiteral("getwindowpid"), calendar}).toLongLong();
        QVERIFY(pid > 0);
        QVERIFY(pid != program.processId());
        QVERIFY(!readBytes(QStringLiteral("/proc/%1/maps").arg(program.processId())).contains("WebEngine"));
        QVERIFY(readBytes(QStringLiteral("/proc/%1/maps").arg(pid)).contains("WebEngine"));

        ::kill(pid_t(program.processId()), signal);
        QVERIFY(program.waitForFinished(5000));
        QVERIFY(waitUntil([&] { return !processAlive(pid); }, 2000));
        QVERIFY(waitUntil([] { return !windowVisible(QStringLiteral("万年历")); }, 2000));
        if (signal == SIGTERM) { // an end in order: the calendar opens at the next start
            QCOMPARE(program.exitCode(), 0);
            QCOMPARE(
                SettingsFile(home.path()).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_calendar")),
                QStringLiteral("y"));
        }
    }

    // Escape in the calendar closes it as "D" does: the check mark follows,
    // so "D" opens it again and the program's end stores it closed.
    void escapeInTheCalendarClosesIt() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")),
                   "[SYSTEM]\r\nF_top=1500\r\nF_left=1500\r\nF_calendar=y\r\n");
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        QString calendar = waitForWindow(QStringLiteral("万年历"), 20000);
        QVERIFY(!calendar.isEmpty());
        const qint64 pid = xdotool({QStringLiteral("getwindowpid"), calendar}).toLongLong();
        // The keyboard goes where the pointer is: onto the page's empty white.
        clickInWindow(calendar, 413, 410);
        keys({QStringLiteral("Escape")});
        QVERIFY(waitUntil([] { return !windowVisible(QStringLiteral("万年历")); }, 10000));
        QVERIFY(waitUntil([&] { return !processAlive(pid); }, 5000));

        clickInWindow(board, kCalendarButton.x(), kCalendarButton.y());
        calendar = waitForWindow(QStringLiteral("万年历"), 20000);
        QVERIFY(!calendar.isEmpty());
        QVERIFY(xdotool({QStringLiteral("getwindowpid"), calendar}).toLongLong() != pid);
        clickInWindow(calendar, 413, 410);
        keys({QStringLiteral("Escape")});
        QVERIFY(waitUntil([] { return !windowVisible(QStringLiteral("万年历")); }, 10000));

        QVERIFY(terminateProgram(program));
        const SettingsFile settings(home.path());
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_calendar")),
                 QStringLiteral("n"));
    }
};

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_EndToEnd.moc"
