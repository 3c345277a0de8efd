// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

/// tackora-cli: runs one command line and gives the process's exit code
/// (0 done, 1 failed, 2 wrong usage).
int runCli(const QStringList &arguments, const QString &executableFolder);

QString cliHelp();
