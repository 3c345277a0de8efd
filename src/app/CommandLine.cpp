// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include "settings/SettingsFile.h"

#include <QDir>

CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder) {
    CommandLine line;
    QString home = executableFolder;
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
                          "\n"
                          "  --home DIR          program folder holding setup.ini and the memos\n"
                          "                      (default: the folder of the executable)\n"
                          "  --no-splash         start without the splash pause\n"
                          "  --exit-after-show   end in order once the board has been painted\n");
}
