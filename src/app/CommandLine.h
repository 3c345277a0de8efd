// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

/// What the command line asks of the program.
struct CommandLine {
    /// The program folder, ending with a separator.
    QString appFolder;
    bool showSplash = true;
    /// Ends the run in order as soon as the board has been painted (for
    /// measuring start-up).
    bool exitAfterShow = false;
    /// Set when the arguments are wrong; the text says why.
    QString error;
    bool helpRequested = false;
    bool versionRequested = false;
};

/// arguments as QCoreApplication::arguments() gives them; executableFolder is
/// the executable's, from which the default program folder follows.
CommandLine parseCommandLine(const QStringList &arguments, const QString &executableFolder);

QString commandLineHelp();

/// "tackora 1.0", for --version.
QString versionLine();
