// SPDX-License-Identifier: MIT
#include "common/FolderPath.h"

#include <QDir>

QString withTrailingSeparator(const QString &folder) {
    const QString separator = QDir::separator();
    if (folder.endsWith(separator) || folder.endsWith(u'/'))
        return folder;
    return folder + separator;
}
