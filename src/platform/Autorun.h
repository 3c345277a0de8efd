// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

/// Starting the program when the user logs on.
class Autorun {
public:
    virtual ~Autorun() = default;
    /// False when the entry could not be written.
    virtual bool RegisterAutorun() = 0;
    /// Keeps the entry but switches it off; false when that could not be written.
    virtual bool UnregisterAutorun() = 0;
};

/// The desktop's autostart entry (XDG): "tackora.desktop" in
/// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart. Its Exec is the
/// running program's full path, with "--home" when the program folder is not
/// the executable's own folder.
class XdgAutorun final : public Autorun {
public:
    XdgAutorun(QString programPath, QString programFolder);

    bool RegisterAutorun() override;
    bool UnregisterAutorun() override;

    /// The autostart folder the environment names.
    static QString autostartFolder();
    QString entryPath() const;
    /// The Exec line's value: every argument quoted and escaped as desktop
    /// entries require.
    QString execLine() const;
    static QString quoteArgument(const QString &argument);

private:
    bool writeEntry(bool enabled);

    QString m_programPath;
    QString m_programFolder;
};
