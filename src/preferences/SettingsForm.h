// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <array>

class Autorun;
class FileChoosers;
class SettingsFile;
class ShellOpener;
class UserDialogs;
class QWidget;
struct ProcessValues;

/// What saving the settings changes at once outside the window.
class SettingsEffects {
public:
    virtual ~SettingsEffects() = default;
    /// Transparency level index 0..2: the board's Timer2(index), and the
    /// calendar's Timer1(index) while the calendar is open.
    virtual void transparencyChosen(int index) = 0;
    /// The file box's new root and its nine categories (caption, folder with
    /// a trailing separator).
    virtual void fileBoxSaved(const QString &root, const std::array<QString, 9> &captions,
                              const std::array<QString, 9> &folders) = 0;
    virtual void userNameSaved(const QString &name) = 0;
};

/// The settings window's frames [系统], [资料盒子], [用户] and [关于软件]
/// without their widgets: what the boxes hold, and what each frame's save
/// checks, writes and changes. The window mirrors it. Opening fills the boxes
/// and changes nothing else; a value that could not be written is said in
/// place of the frame's saved message.
class SettingsForm final {
public:
    SettingsForm(const SettingsFile &settings, ProcessValues &values, UserDialogs &dialogs,
                 FileChoosers &choosers, ShellOpener &shell, Autorun &autorun, SettingsEffects &effects);

    /// Fills every box from setup.ini.
    void FillFromSettings();

    // [系统]
    int transparency = 0; // Option1(0..2): "a", "b", "c"
    bool runAtLogon = false;
    QString shutdownText; // Text4
    bool saveSystem();

    // [资料盒子]
    QString fileBoxPath;           // Text2(0), or one of its notices
    std::array<QString, 9> labels; // Text2(1..9)
    void chooseFileBoxFolder(QWidget *owner);
    void clearBackground();
    bool saveFileBox();

    // [用户]
    QString userName;     // Text3(0)
    QString passwordText; // Text3(1), always empty on opening
    bool saveUser();

    // [关于软件]
    void openHelp();
    void openLink(const QString &address);

    /// Text4 accepts digits and ":", Text3(1) the key characters; backspace
    /// and Enter pass both.
    static bool isShutdownTimeCharacter(QChar c);
    static QString noFolderNotice();
    static QString wrongFolderNotice();
    /// Addresses of the three links.
    static QStringList linkAddresses();

private:
    class Writes;

    const SettingsFile &m_settings;
    ProcessValues &m_values;
    UserDialogs &m_dialogs;
    FileChoosers &m_choosers;
    ShellOpener &m_shell;
    Autorun &m_autorun;
    SettingsEffects &m_effects;
};
