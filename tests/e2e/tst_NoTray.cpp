// SPDX-License-Identifier: MIT
// The real program on a desktop with a window manager and no tray (see
// run-x11.sh): whatever hides the board leaves it reachable in the task list.
#include "settings/SettingsFile.h"

#include "E2eSupport.h"
#include "TestSupport.h"

#include <QTemporaryDir>

using namespace e2e;

namespace {

QString hexId(const QString &window) {
    return QStringLiteral("0x") + QString::number(window.toULongLong(), 16);
}

// Whether the window manager keeps the window as one of its clients (a
// withdrawn window is none).
bool managed(const QString &window) {
    return command(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")})
        .contains(hexId(window));
}

bool iconified(const QString &window) {
    return wmState(window) == u"Iconic" && managed(window);
}

bool shown(const QString &window) {
    return wmState(window) == u"Normal" && visibleWindows(kBoardTitle).contains(window);
}

QString showMode(const QString &home) {
    return SettingsFile(home).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show"));
}

} // namespace

class tst_NoTray : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
        if (!xdotool({QStringLiteral("search"), QStringLiteral("--classname"), QStringLiteral("^trayer$")})
                 .isEmpty() ||
            !windowManagerRunning())
            QSKIP("needs a window manager and no tray (run-x11.sh starts them)");
    }

    void closeButtonAndMinimisingLeaveTheBoardInTheTaskList() {
        QTemporaryDir home;
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        QVERIFY(waitUntil([&] { return shown(board); }, 5000));

        clickInWindow(board, kCloseButton.x(), kCloseButton.y());
        QVERIFY2(waitUntil([&] { return iconified(board); }, 5000), qPrintable(wmState(board)));
        // Back from the task list, as its entry does it.
        xdotool({QStringLiteral("windowactivate"), board});
        QVERIFY(waitUntil([&] { return shown(board); }, 5000));

        xdotool({QStringLiteral("windowminimize"), board});
        QVERIFY2(waitUntil([&] { return iconified(board); }, 5000), qPrintable(wmState(board)));
        QTest::qWait(300); // the board had its say on the new state
        QVERIFY(iconified(board));

        QVERIFY(terminateProgram(program));
        QCOMPARE(showMode(home.path()), QStringLiteral("a"));

        // The next start shows the board.
        QProcess again;
        startProgram(again, home.path());
        QVERIFY(!waitForWindow(kBoardTitle).isEmpty());
        QVERIFY(terminateProgram(again));
    }

    // A board hidden in a tray on another desktop comes up here: nothing else
    // would bring it back.
    void boardSavedHiddenStartsShown() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")),
                   "[SYSTEM]\r\nF_top=600\r\nF_left=900\r\nF_show=b\r\n");
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        QVERIFY(waitUntil([&] { return shown(board); }, 5000));
        QCOMPARE(windowPosition(board), QPoint(60, 40));
        QVERIFY(terminateProgram(program));
        QCOMPARE(showMode(home.path()), QStringLiteral("a"));
    }

    void secondCopyBringsBackAMinimisedBoard() {
        QTemporaryDir home;
        QProcess first;
        startProgram(first, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        xdotool({QStringLiteral("windowminimize"), board});
        QVERIFY2(waitUntil([&] { return iconified(board); }, 5000), qPrintable(wmState(board)));

        QProcess second;
        startProgram(second, home.path());
        const QString warning = waitForWindow(QStringLiteral("警告"));
        QVERIFY(!warning.isEmpty());
        QVERIFY2(waitUntil([&] { return shown(board); }, 5000), qPrintable(wmState(board)));
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), warning, QStringLiteral("Return")});
        xdotool({QStringLiteral("keyup"), QStringLiteral("Return")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(terminateProgram(first));
    }

    // A tray that comes later takes the board; when it goes again, the board
    // waits in the task list.
    void trayComingAndGoingIsFollowed() {
        QTemporaryDir home;
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());

        QProcess tray;
        tray.start(QStringLiteral("trayer"),
                   {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                    QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                    QStringLiteral("--heighttype"), QStringLiteral("pixel"), QStringLiteral("--height"),
                    QStringLiteral("24")});
        QVERIFY(tray.waitForStarted());
        QVERIFY(waitUntil([] { return !trayIconCentre().isNull(); }, 10000));
        // The program looks for the tray every two seconds: until then "X"
        // still minimises, after that it hides the board in the tray.
        QVERIFY(waitUntil(
            [&] {
                if (iconified(board)) {
                    xdotool({QStringLiteral("windowactivate"), board});
                    waitUntil([&] { return shown(board); }, 5000);
                }
                clickInWindow(board, kCloseButton.x(), kCloseButton.y());
                return waitUntil([&] { return !managed(board) || iconified(board); }, 5000) &&
                       !managed(board);
            },
            10000));
        QVERIFY(!windowVisible(kBoardTitle));

        tray.terminate();
        QVERIFY(tray.waitForFinished(5000));
        QVERIFY2(waitUntil([&] { return iconified(board); }, 10000), qPrintable(wmState(board)));
        xdotool({QStringLiteral("windowactivate"), board});
        QVERIFY(waitUntil([&] { return shown(board); }, 5000));

        QVERIFY(terminateProgram(program));
        QCOMPARE(showMode(home.path()), QStringLiteral("a"));
    }
};

QTEST_GUILESS_MAIN(tst_NoTray)
#include "tst_NoTray.moc"
