// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class FileSafe;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QTextEdit;

/// Q_CRYPT, "文件保险柜": the drive, folder and file lists, the three path
/// boxes with their buttons, and the log. It mirrors FileSafe.
class FileSafeWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileSafeWindow)
public:
    explicit FileSafeWindow(FileSafe &safe, QWidget *parent = nullptr);

private:
    void showFolder();
    void showFiles();
    void showPaths();
    void showLog();
    void runBusy(const std::function<void()> &work);

    FileSafe &m_safe;
    QComboBox *m_drives = nullptr;
    QListWidget *m_folders = nullptr;
    QListWidget *m_files = nullptr;
    QLineEdit *m_paths[3] = {};
    QCheckBox *m_checks[2] = {};
    QTextEdit *m_log = nullptr;
};
