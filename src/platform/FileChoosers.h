// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

/// The folder chooser and the open/save file chooser. Both answer a plain
/// path, empty when the user cancelled; an empty start folder means the
/// program's folder.
class FileChoosers {
public:
    virtual ~FileChoosers() = default;
    /// The chosen folder with a trailing separator.
    virtual QString BrowseForFolder(QWidget *owner, const QString &title, const QString &startFolder) = 0;
    /// mode 1 opens a file, mode 2 saves one; any other mode shows nothing.
    virtual QString ShowFileDialog(QWidget *owner, const QString &title, const QString &pattern,
                                   const QString &description, const QString &startFolder, int mode,
                                   const QString &defaultName = QString()) = 0;
};

namespace ChooserText {
/// The filter as the chooser names it: description + "(" + pattern + ")",
/// "数据库文件(*.mdb)" without a pattern.
QString filterCaption(const QString &pattern, const QString &description);
/// The patterns of a ";"-separated pattern text.
QStringList filterPatterns(const QString &pattern);
/// path with a separator appended unless empty or already ending in one.
QString withTrailingSeparator(const QString &path);
} // namespace ChooserText
