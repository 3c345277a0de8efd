// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"
#include "app/TackoraApp.h"
#include "common/Fonts.h"
#include "platform/LocalZonePin.h"
#include "platform/UiTranslations.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    // --version and --help are answered before any window system is asked
    // for: they work without a display. So is a wrong argument where there is
    // no window system; with one, Qt takes its own options (-platform, -style…)
    // first and the arguments left are judged after it.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine early = parseCommandLine(rawArguments, QString());
    if (early.versionRequested) {
        std::fputs(versionLine().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (early.helpRequested) {
        std::fputs(commandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    }
    const bool windowSystem = qEnvironmentVariableIsSet("DISPLAY") ||
                              qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                              qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (!early.error.isEmpty() && !windowSystem) {
        std::fprintf(stderr, "tackora: %s\n\n%s", early.error.toLocal8Bit().constData(),
                     commandLineHelp().toLocal8Bit().constData());
        return 2;
    }

    // Before QApplication: no other thread may read the environment yet.
    LocalZonePin zonePin;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tackora"));
    installQtTranslations(application);
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(TACKORA_VERSION_MAJOR).arg(TACKORA_VERSION_MINOR));
    // The board hidden in the tray is no reason to end.
    QApplication::setQuitOnLastWindowClosed(false);

    const CommandLine commandLine =
        parseCommandLine(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    if (commandLine.versionRequested) {
        std::fputs(versionLine().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (commandLine.helpRequested) {
        std::fputs(commandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "tackora: %s\n\n%s", commandLine.error.toLocal8Bit().constData(),
                     commandLineHelp().toLocal8Bit().constData());
        return 2;
    }
    if (!QDir().mkpath(commandLine.appFolder)) {
        std::fprintf(stderr, "tackora: cannot create the program folder %s\n",
                     commandLine.appFolder.toLocal8Bit().constData());
        return 1;
    }
    installFontSubstitutions();

    TackoraApp tackora(commandLine);
    if (!tackora.start())
        return 0;
    // A change of the system's zone shows on the clock within ten seconds.
    if (zonePin.pinned())
        tackora.everySeconds(10, [&zonePin] { zonePin.follow(); });
    return QApplication::exec();
}
