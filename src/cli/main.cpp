// SPDX-License-Identifier: MIT
#include "cli/CliApp.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    return runCli(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
}
