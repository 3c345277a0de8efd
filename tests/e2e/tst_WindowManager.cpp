// SPDX-License-Identifier: MIT
// The real program under a window manager, with a tray (see run-x11.sh): the
// manager places, stacks and lists the board as the program asks.
#include "settings/SettingsFile.h"

#include "E2eSupport.h"
#include "TestSupport.h"

#include <QTemporaryDir>

using namespace e2e;

namespace {

const QString kSettingsTitle = QStringLiteral("软件设置");
const QString kMenuTitle = QStringLiteral("程序菜单");

bool hasState(const QString &window, const QString &state) {
    return xprop(window, QStringLiteral("_NET_WM_STATE")).contains(state);
}

// The board's settings button, on the button's dark ground: its white glyph
// lets clicks through in full transparency.
void openSettings(const QString &board) {
    clickInWindow(board, kSettingsButton.x() - 8, kSettingsButton.y() - 8);
}

// "窗体置前" from the tray's menu, by the keyboard: the third entry. The
// pointer leaves the menu first, or the entry under it would be the start.
bool toggleOnTopFromTheMenu() {
    if (!clickTrayIcon(3))
        return false;
    const QString menu = waitForWindow(kMenuTitle, 10000);
    if (menu.isEmpty())
        return false;
    xdotool({QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("500")});
    keysTo(menu, {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                  QStringLiteral("Return")});
    return waitUntil([] { return !windowVisible(kMenuTitle); }, 5000);
}

} // namespace

class tst_WindowManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display (run under xvfb-run)");
        if (!windowManagerRunning())
            QSKIP("needs a window manager (run-x11.sh starts one)");
    }

    void boardStartsWhereItWasStored_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("first start") << QByteArray() << QPoint(0, 0);
        QTest::newRow("stored 0,0") << QByteArray("[SYSTEM]\r\nF_top=0\r\nF_left=0\r\n") << QPoint(0, 0);
        QTest::newRow("stored elsewhere")
            << QByteArray("[SYSTEM]\r\nF_top=1500\r\nF_left=3000\r\n") << QPoint(200, 100);
    }
    void boardStartsWhereItWasStored() {
        QFETCH(QByteArray, settings);
        QFETCH(QPoint, position);
        QTemporaryDir home;
        if (!settings.isEmpty())
            writeBytes(home.filePath(QStringLiteral("setup.ini")), settings);
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        QTRY_COMPARE(windowPosition(board), position);
        QVERIFY(terminateProgram(program));
    }

    // The menu's entries would act under an open modal window: the menu waits
    // for it to close.
    void trayMenuWaitsForAModalWindow() {
        QTemporaryDir home;
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        openSettings(board);
        const QString settings = waitForWindow(kSettingsTitle, 10000);
        QVERIFY(!settings.isEmpty());

        QVERIFY(clickTrayIcon(3));
        QVERIFY(waitForWindow(kMenuTitle, 1500).isEmpty());
        QVERIFY(windowVisible(kSettingsTitle));

        keysTo(settings, {QStringLiteral("Escape")});
        QVERIFY(waitUntil([&] { return !windowVisible(kSettingsTitle); }, 5000));
        QVERIFY(clickTrayIcon(3));
        const QString menu = waitForWindow(kMenuTitle, 10000);
        QVERIFY(!menu.isEmpty());
        keysTo(menu, {QStringLiteral("Escape")});
        QVERIFY(waitUntil([] { return !windowVisible(kMenuTitle); }, 5000));
        QVERIFY(terminateProgram(program));
    }

    // Always on top goes to the window manager on the board's own window: no
    // new window, whatever is open over it stays.
    void alwaysOnTopChangesInPlace() {
        QTemporaryDir home;
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        QVERIFY(!hasState(board, QStringLiteral("_NET_WM_STATE_ABOVE")));

        QVERIFY(toggleOnTopFromTheMenu());
        QVERIFY(waitUntil([&] { return hasState(board, QStringLiteral("_NET_WM_STATE_ABOVE")); }, 5000));
        QCOMPARE(visibleWindows(kBoardTitle), QStringList{board});

        QVERIFY(toggleOnTopFromTheMenu());
        QVERIFY(waitUntil([&] { return !hasState(board, QStringLiteral("_NET_WM_STATE_ABOVE")); }, 5000));
        QCOMPARE(visibleWindows(kBoardTitle), QStringList{board});
        QVERIFY(terminateProgram(program));
        QCOMPARE(SettingsFile(home.path()).ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_up")),
                 QStringLiteral("0"));
    }

    void fullTransparencyLeavesTheTaskListUntilItEnds() {
        QTemporaryDir home;
        writeBytes(home.filePath(QStringLiteral("setup.ini")), "[SYSTEM]\r\nF_transparent=c\r\n");
        QProcess program;
        startProgram(program, home.path());
        const QString board = waitForWindow(kBoardTitle);
        QVERIFY(!board.isEmpty());
        QVERIFY(
            waitUntil([&] { return hasState(board, QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")); }, 5000));
        // Hidden in the tray and shown again: the window manager forgot the
        // state with the window, the board says it again.
        QVERIFY(clickTrayIcon(1));
        QVERIFY(waitUntil([] { return !windowVisible(kBoardTitle); }, 5000));
        QVERIFY(clickTrayIcon(1));
        QCOMPARE(waitForWindow(kBoardTitle, 5000), board);
        QVERIFY(
            waitUntil([&] { return hasState(board, QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")); }, 5000));

        // "窗体微透明" in the settings window, saved.
        openSettings(board);
        QVERIFY(!waitForWindow(kSettingsTitle, 10000).isEmpty());
        keys({QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Tab"), QStringLiteral("Tab"),
              QStringLiteral("space")});
        QVERIFY(waitUntil(
            [&] {
                return SettingsFile(home.path())
                           .ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_transparent")) == u"a";
            },
            5000));
        QVERIFY(
            waitUntil([&] { return !hasState(board, QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")); }, 5000));
        QCOMPARE(visibleWindows(kBoardTitle), QStringList{board});
        QVERIFY(windowVisible(kSettingsTitle)); // the settings window stayed open
        QVERIFY(terminateProgram(program));
    }

    void sigtermDuringTheSplashEndsTheProgram() {
        QTemporaryDir home;
        const QByteArray stored = "[SYSTEM]\r\nF_top=1500\r\nF_left=1500\r\nF_show=c\r\n";
        writeBytes(home.filePath(QStringLiteral("setup.ini")), stored);
        QProcess program;
        startProgram(program, home.path(), true);
        QVERIFY(!waitForWindow(QStringLiteral("Tackora")).isEmpty());
        program.terminate();
        bool boardSeen = false;
        QElapsedTimer timer;
        timer.start();
        while (!program.waitForFinished(50) && timer.elapsed() < 10000)
            boardSeen = boardSeen || windowVisible(kBoardTitle);
        QCOMPARE(program.state(), QProcess::NotRunning);
        QVERIFY(!boardSeen);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(readBytes(home.filePath(QStringLiteral("setup.ini"))), stored);
    }
};

QTEST_GUILESS_MAIN(tst_WindowManager)
#include "tst_WindowManager.moc"
