// SPDX-License-Identifier: MIT
#include "platform/ShutdownRunner.h"

#include <QProcess>

void ProcessShutdownRunner::scheduleShutdown(const QString &warning) {
    QProcess::startDetached(QStringLiteral("shutdown"),
                            {QStringLiteral("-h"), QStringLiteral("+1"), warning});
}

void ProcessShutdownRunner::cancelShutdown() {
    QProcess::startDetached(QStringLiteral("shutdown"), {QStringLiteral("-c")});
}
