// SPDX-License-Identifier: MIT
// The calendar program: the calendar window and its web engine, in a process
// of their own that the board starts and ends (see CalendarChild).
#include "calendar/CalendarChild.h"
#include "calendar/CalendarPageServer.h"
#include "platform/Clock.h"

#include <QApplication>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

int main(int argc, char *argv[]) {
    // The answers keep a descriptor of their own: nothing the engine or Qt
    // prints can reach the board as a message.
    const int answers = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 1;
    // A board gone while an answer is written: the end of input says so.
    std::signal(SIGPIPE, SIG_IGN);

    // The web engine draws through OpenGL contexts shared with Qt's; its
    // sandbox cannot run for root, which would leave the calendar blank.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The window's class is the board's, as when both were one program.
    if (!qEnvironmentVariableIsSet("RESOURCE_NAME"))
        qputenv("RESOURCE_NAME", "tackora");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tackora"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Before anything of the engine's: it fixes its schemes when it starts.
    CalendarPageServer::registerScheme();

    SystemClock clock;
    CalendarChild child(STDIN_FILENO, answers, clock);
    child.start();
    return QApplication::exec();
}
