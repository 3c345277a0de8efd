// SPDX-License-Identifier: MIT
#include "platform/ShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopShellOpener::openPath(const QString &path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopShellOpener::openUrl(const QString &url) {
    return QDesktopServices::openUrl(QUrl(url));
}
