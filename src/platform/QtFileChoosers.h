// SPDX-License-Identifier: MIT
#pragma once

#include "platform/FileChoosers.h"

class QFileDialog;

/// The choosers on QFileDialog (Qt's own dialog, so that the filter caption
/// reads as the program names it on every desktop).
class QtFileChoosers final : public FileChoosers {
public:
    explicit QtFileChoosers(QString appFolder);

    QString BrowseForFolder(QWidget *owner, const QString &title, const QString &startFolder) override;
    QString ShowFileDialog(QWidget *owner, const QString &title, const QString &pattern,
                           const QString &description, const QString &startFolder, int mode,
                           const QString &defaultName) override;

    /// The file dialog set up as ShowFileDialog shows it; for tests.
    static void configureFileDialog(QFileDialog &dialog, const QString &title, const QString &pattern,
                                    const QString &description, const QString &startFolder, int mode,
                                    const QString &defaultName);

private:
    QString startFolderOrProgram(const QString &startFolder) const;

    QString m_appFolder;
};
