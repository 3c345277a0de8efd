// SPDX-License-Identifier: MIT
#pragma once

#include "common/FolderPath.h"
#include "settings/ProfileEncoding.h"

#include <QString>

/// The part of text before its first NUL; the whole text when it holds none.
QString TrimAtNul(const QString &text);

/// The program's profile file setup.ini in the program folder, GBK on disk.
/// The file is parsed again only when it changed (see ProfileCache), so a hand
/// edit is seen by the next read.
class SettingsFile final {
public:
    /// appFolder ends with the native separator (see AppFolder()).
    explicit SettingsFile(QString appFolder);

    /// The program folder, ending with a separator.
    const QString &AppFolder() const { return m_appFolder; }

    /// AppFolder() + "setup.ini".
    QString path() const;

    bool exists() const;

    /// The value of key in section, at most 255 bytes of it, cut at its first
    /// NUL; empty text when the file, the section or the key is missing. Bytes
    /// GBK cannot decode read as U+FFFD.
    QString ReadSetting(const QString &section, const QString &key) const;

    /// Whether the file is the GBK it is read as; nothing found for a missing
    /// or unreadable file.
    ProfileEncoding::Finding examineEncoding() const;

    /// Stores one value, keeping every other byte of the file; creates the file
    /// and the section when needed. The file is replaced atomically; when it is
    /// a symbolic link, the file the link leads to is, and the link stays. A
    /// file without write permission is left as it is. A stored value whose
    /// bytes did not decode keeps them when written back as read; any other
    /// value holding U+FFFD is refused, since its bytes would be lost. Returns
    /// false when the value could not be stored (error names the step).
    bool WriteSetting(const QString &section, const QString &key, const QString &value,
                      QString *error = nullptr) const;

private:
    QString m_appFolder;
};
