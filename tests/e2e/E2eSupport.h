// SPDX-License-Identifier: MIT
// What the end-to-end tests share: the program, xdotool and xprop, waits.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

#include <functional>

namespace e2e {

inline const QString kBoardTitle = QStringLiteral("Tackora V1.0");

inline QString programPath() {
    return qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/bin/tackora");
}

inline QString command(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString xdotool(const QStringList &arguments) {
    return command(QStringLiteral("xdotool"), arguments).trimmed();
}

/// The ids of the mapped windows whose title is exactly name.
inline QStringList visibleWindows(const QString &name) {
    const QString ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), u'^' + QRegularExpression::escape(name) + u'$'});
    return ids.isEmpty() ? QStringList() : ids.split(u'\n');
}

/// True once condition holds, polled until timeoutMs has passed.
inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    do {
        if (condition())
            return true;
        QTest::qWait(50);
    } while (timer.elapsed() < timeoutMs);
    return condition();
}

/// The id of the visible window whose title is exactly name, waiting for it.
inline QString waitForWindow(const QString &name, int timeoutMs = 20000) {
    QString id;
    waitUntil(
        [&] {
            const QStringList ids = visibleWindows(name);
            id = ids.isEmpty() ? QString() : ids.first();
            return !id.isEmpty();
        },
        timeoutMs);
    return id;
}

inline bool windowVisible(const QString &name) {
    return !visibleWindows(name).isEmpty();
}

inline QString xprop(const QString &window, const QString &property) {
    return command(QStringLiteral("xprop"), {QStringLiteral("-id"), window, property});
}

/// The ICCCM state the window manager gives the window: "Normal", "Iconic",
/// "Withdrawn", or empty when it gives none.
inline QString wmState(const QString &window) {
    static const QRegularExpression state(QStringLiteral("window state: (\\w+)"));
    return state.match(xprop(window, QStringLiteral("WM_STATE"))).captured(1);
}

/// Where the window is on the screen; a null point when it cannot be told.
inline QPoint windowPosition(const QString &window) {
    static const QRegularExpression position(QStringLiteral("Position: (-?\\d+),(-?\\d+)"));
    const QRegularExpressionMatch match =
        position.match(xdotool({QStringLiteral("getwindowgeometry"), window}));
    return match.hasMatch() ? QPoint(match.captured(1).toInt(), match.captured(2).toInt()) : QPoint();
}

/// A click of button at x, y inside window.
inline void clickInWindow(const QString &window, int x, int y, int button = 1) {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
             QString::number(y)});
    xdotool({QStringLiteral("click"), QString::number(button)});
}

/// Keys to whatever has the keyboard. Each key is released here too: a window
/// that goes on the press would leave the release to the next program.
inline void keys(const QStringList &names) {
    for (const QString &name : names) {
        xdotool({QStringLiteral("key"), name});
        xdotool({QStringLiteral("keyup"), name});
    }
}

/// Whether a window manager runs: it names itself on the window the root's
/// check property names (the property outlives a manager that ended).
inline bool windowManagerRunning() {
    static const QRegularExpression id(QStringLiteral("window id # (0x[0-9a-f]+)"));
    const QRegularExpressionMatch check = id.match(command(
        QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}));
    return check.hasMatch() && xprop(check.captured(1), QStringLiteral("_NET_WM_NAME")).contains(u'=');
}

/// Keys sent to window itself, whatever has the keyboard. The release is
/// also made here: a window that goes on the press would leave it to the next
/// program.
inline void keysTo(const QString &window, const QStringList &names) {
    for (const QString &name : names) {
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, name});
        xdotool({QStringLiteral("keyup"), name});
    }
}

// The board's header buttons, at their centres on the board.
inline const QPoint kCloseButton(300, 12);     // LabAn(0) "X"
inline const QPoint kSettingsButton(276, 364); // LabAn(6) "S"
inline const QPoint kCalendarButton(252, 364); // LabAn(7) "D"

/// The centre of the program's icon as the tray embeds it, in screen
/// coordinates, or a null point while it is not there.
inline QPoint trayIconCentre() {
    static const QRegularExpression icon(
        QString::fromUtf8(R"("Tackora": \("tackora" "Tackora"\)\s+(\d+)x(\d+)\+\S+\s+\+(-?\d+)\+(-?\d+))"));
    const QString tree =
        command(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    for (const QString &line : tree.split(u'\n')) {
        const QRegularExpressionMatch match = icon.match(line);
        if (match.hasMatch() && match.captured(1).toInt() <= 64)
            return QPoint(match.captured(3).toInt() + match.captured(1).toInt() / 2,
                          match.captured(4).toInt() + match.captured(2).toInt() / 2);
    }
    return QPoint();
}

/// Clicks the program's tray icon, found afresh each time: the tray moves its
/// icons when another program's icon comes or goes.
inline bool clickTrayIcon(int button) {
    QPoint icon;
    waitUntil([&] { return !(icon = trayIconCentre()).isNull(); }, 10000);
    if (icon.isNull())
        return false;
    xdotool({QStringLiteral("mousemove"), QString::number(icon.x()), QString::number(icon.y())});
    xdotool({QStringLiteral("click"), QString::number(button)});
    return true;
}

/// Starts the program on home, without the splash unless asked.
inline void startProgram(QProcess &program, const QString &home, bool splash = false) {
    QStringList arguments{QStringLiteral("--home"), home};
    if (!splash)
        arguments.append(QStringLiteral("--no-splash"));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(programPath(), arguments);
}

/// Ends the program as a session does and tells whether it ended in order.
inline bool terminateProgram(QProcess &program) {
    program.terminate();
    return program.waitForFinished(10000) && program.exitStatus() == QProcess::NormalExit &&
           program.exitCode() == 0;
}

} // namespace e2e
