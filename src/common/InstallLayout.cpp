// SPDX-License-Identifier: MIT
#include "common/InstallLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace InstallLayout {

namespace {
QString below(const QString &folder, const char *relative) {
    return QDir::cleanPath(folder + u'/' + QString::fromUtf8(relative));
}
} // namespace

QString moduleFolder(const QString &executableFolder) {
    return below(executableFolder, TACKORA_MODULES_FROM_BIN);
}

QString dataFolder(const QString &executableFolder) {
    return below(executableFolder, TACKORA_DATA_FROM_BIN);
}

QString modulePath(const QString &executableFolder, const QString &fileName) {
    const QString beside = QDir(executableFolder).filePath(fileName);
    if (QFileInfo(beside).isFile())
        return beside;
    return QDir(moduleFolder(executableFolder)).filePath(fileName);
}

QString sharedFile(const QString &appFolder, const QString &executableFolder, const QString &fileName) {
    const QString own = QDir(appFolder).filePath(fileName);
    for (const QString &candidate : {own, QDir(executableFolder).filePath(fileName),
                                     QDir(dataFolder(executableFolder)).filePath(fileName)}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return own;
}

QString defaultProgramFolder(const QString &executableFolder) {
    // An installed prefix is never the program folder, not even for root, who
    // may write there.
    const bool installed = QFileInfo(dataFolder(executableFolder)).isDir();
    if (!installed && QFileInfo(executableFolder).isWritable())
        return executableFolder;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tackora");
}

} // namespace InstallLayout
