// SPDX-License-Identifier: MIT
#include "platform/QtFileChoosers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QtFileChoosers::QtFileChoosers(QString appFolder)
    : m_appFolder(std::move(appFolder)) {}

QString QtFileChoosers::startFolderOrProgram(const QString &startFolder) const {
    return startFolder.isEmpty() ? m_appFolder : startFolder;
}

QString QtFileChoosers::BrowseForFolder(QWidget *owner, const QString &title, const QString &startFolder) {
    QFileDialog dialog(owner, title, startFolderOrProgram(startFolder));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return ChooserText::withTrailingSeparator(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void QtFileChoosers::configureFileDialog(QFileDialog &dialog, const QString &title, const QString &pattern,
                                         const QString &description, const QString &startFolder, int mode,
                                         const QString &defaultName) {
    dialog.setWindowTitle(title);
    dialog.setDirectory(startFolder);
    // Qt reads the patterns from the last parentheses and splits them at
    // blanks; the caption before them is shown alone.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(ChooserText::filterCaption(pattern, description) + QStringLiteral(" (") +
                         ChooserText::filterPatterns(pattern).join(u' ') + u')');
    dialog.setAcceptMode(mode == 2 ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == 2 ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName);
}

QString QtFileChoosers::ShowFileDialog(QWidget *owner, const QString &title, const QString &pattern,
                                       const QString &description, const QString &startFolder, int mode,
                                       const QString &defaultName) {
    if (mode != 1 && mode != 2)
        return QString();
    QFileDialog dialog(owner);
    configureFileDialog(dialog, title, pattern, description, startFolderOrProgram(startFolder), mode,
                        defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    // Blanks typed around a name go, but a name that ends in a blank is a
    // name of its own: trimming it could choose another file.
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return QFileInfo::exists(chosen) ? chosen : chosen.trimmed();
}
