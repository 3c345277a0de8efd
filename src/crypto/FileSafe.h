// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class FileChoosers;
class SettingsFile;
class ShellOpener;
class UserDialogs;
class QWidget;
struct ProcessValues;

/// The file-safe window without its widgets: the folder it opens on, the
/// browsed folder and its file list, the three path boxes, and encrypting
/// and decrypting with their questions, messages, balloons and log records.
/// Every operation reads the security key stored at that moment.
class FileSafe final {
public:
    FileSafe(const SettingsFile &settings, ProcessValues &values, UserDialogs &dialogs,
             FileChoosers &choosers, ShellOpener &shell);

    /// Form_Load: the safe folder, the lists on it, the result folder and the log.
    void load();

    QString safeFolder() const { return m_safeFolder; }
    /// The browsed folder (Dir1) and its file names (File1).
    QString folder() const { return m_folder; }
    QStringList files() const { return m_files; }
    /// The subfolders of the browsed folder, by name.
    QStringList subfolders() const;
    /// Mounted volumes to browse (Drive1) and the one holding the browsed folder.
    static QStringList drives();
    QString drive() const;

    /// Drive1_Change: browse the root of drive; an unreadable one changes nothing.
    void setDrive(const QString &drive);
    /// Dir1_Change: browse folder and list its files under the current pattern;
    /// a folder that is gone gives the nearest one above it that is there.
    void setFolder(const QString &folder);
    /// Lists the browsed folder's files again.
    void refreshFiles();
    /// Check1(1): only "*.aes" files, or all.
    void setOnlyEncrypted(bool only);
    bool onlyEncrypted() const { return m_onlyEncrypted; }
    /// Check1(0): open a decrypted file afterwards.
    bool openAfterDecrypt = false;

    /// File1_Click on a listed name.
    void fileClicked(const QString &name);

    /// The three path boxes: Text1(0), Text1(1), Text1(2).
    QString resultFolder;
    QString decryptPath;
    QString encryptPath;
    /// BoxLog: the whole of jm.log.
    QString logText() const { return m_logText; }

    /// The "选择" buttons and "打开" (owner: the window, for the choosers).
    void chooseFileToDecrypt(QWidget *owner);
    void chooseFileToEncrypt(QWidget *owner);
    void chooseResultFolder(QWidget *owner);
    void openResultFolder();

    /// "加密" and "解密". True when a file was written (even when its log
    /// record could not be: a message says so).
    bool encrypt();
    bool decrypt();

private:
    /// The result folder and source are there; otherwise says what is missing.
    bool inputsReady(const QString &source, const QString &noFolderText, const QString &noFileText);
    QString fileKey() const;
    bool confirmOverwrite(const QString &target, const QString &verb, const QString &source);
    void appendLog(bool encrypted, const QString &source, const QString &target);
    void balloon(const QString &title, const QString &text);

    const SettingsFile &m_settings;
    ProcessValues &m_values;
    UserDialogs &m_dialogs;
    FileChoosers &m_choosers;
    ShellOpener &m_shell;
    QString m_safeFolder;
    QString m_folder;
    QStringList m_files;
    QString m_logText;
    bool m_onlyEncrypted = false;
};
