// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include "common/InstallLayout.h"
#include "settings/SettingsFile.h"

#include <QDir>

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder) {
    CommandLine line;
    QString home = InstallLayout::defaultProgramFolder(executableFolder);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--home") {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--home needs a folder");
                break;
            }
            home = arguments[++i];
        } else if (argument.startsWith(u"--home=")) {
            home = argument.mid(7);
        } else if (argument == u"--no-splash") {
            line.showSplash = false;
        } else if (argument == u"--exit-after-show") {
            line.exitAfterShow = true;
        } else if (argument == u"--help" || argument == u"-h") {
            line.helpRequested = true;
        } else if (argument == u"--version") {
            line.versionRequested = true;
        } else {
            line.error = QStringLiteral("unknown argument: %1").arg(argument);
            break;
        }
    }
    if (home.isEmpty() && line.error.isEmpty())
        line.error = QStringLiteral("--home needs a folder");
    line.appFolder = withTrailingSeparator(QDir::toNativeSeparators(QDir(home).absolutePath()));
    return line;
}

QString commandLineHelp() {
    return QStringLiteral("Usage: tackora [--home DIR] [--no-splash] [--exit-after-show]\n"
                          "       tackora --help | --version\n"
                          "\n"
                          "  --home DIR          program folder holding setup.ini and the memos (default:\n"
                          "                      the folder of the executable where it is writable and not\n"
                          "                      an installed one, else $XDG_DATA_HOME/tackora, that is\n"
                          "                      ~/.local/share/tackora unless XDG_DATA_HOME is set)\n"
                          "  --no-splash         start without the splash pause\n"
                          "  --exit-after-show   end in order once the board has been painted\n"
                          "  --version           print the version and end\n");
}

QString versionLine() {
    return QStringLiteral("tackora %1.%2\n").arg(TACKORA_VERSION_MAJOR).arg(TACKORA_VERSION_MINOR);
}
