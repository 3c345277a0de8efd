// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

/// Starting the program when the user logs on.
class Autorun {
public:
    virtual ~Autorun() = default;
    /// Empty when the entry is written, else why it is not.
    virtual QString RegisterAutorun() = 0;
    /// Keeps the entry but switches it off; empty when done, else why not.
    virtual QString UnregisterAutorun() = 0;
};

/// The desktop's autostart entry (XDG): "tackora.desktop" in
/// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart. Its Exec is the
/// running program's full path, with "--home" when the program folder is not
/// the executable's own folder.
class XdgAutorun final : public Autorun {
public:
    XdgAutorun(QString programPath, QString programFolder);

    QString RegisterAutorun() override;
    QString UnregisterAutorun() override;

    /// The autostart folder the environment names.
    static QString autostartFolder();
    QString entryPath() const;
    /// The Exec line's value: every argument quoted and escaped as desktop
    /// entries require.
    QString execLine() const;
    static QString quoteArgument(const QString &argument);
    /// The first character of text an entry cannot hold (a control character
    /// other than tab, line feed and carriage return, or a byte of a name that
    /// is not UTF-8), shown as "U+XXXX"; empty when there is none.
    static QString unwritableCharacter(const QString &text);

private:
    QString writeEntry(bool enabled);
    QString homeArgument() const;

    QString m_programPath;
    QString m_programFolder;
};
