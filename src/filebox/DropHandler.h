// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

class StatusLine;
class UserDialogs;
struct ProcessValues;

/// One category tile as a drop sees it.
struct DropCategory {
    QString caption;
    QString folder; // ends with a separator
};

/// What a drop of files on a category tile does: the eight ordinary tiles
/// move the items into their folders, the safe (index 8) stores an encrypted
/// copy of each file and logs it, with the balloons, questions and status
/// lines of the file box.
class DropHandler final {
public:
    DropHandler(UserDialogs &dialogs, StatusLine &status, ProcessValues &values, QString appFolder);

    /// A drag over a tile: whether it carries a file list.
    void dragEnter(bool hasFileList);

    /// Handles a drop of paths on tile index. False when the disk usage need
    /// not be refreshed (the safe without a key, a category without a folder).
    bool drop(int index, const QStringList &paths, const std::array<DropCategory, 9> &categories);

    /// The bytes of the files the last drop brought into its category,
    /// counted as the disk-usage walk counts them, so the figures can follow
    /// at once; a dropped folder counts nothing here (walking it would keep
    /// the window waiting), the walk after the drop brings its bytes.
    std::uint64_t lastDropBytes() const { return m_droppedBytes; }

    /// Opens the settings window (the safe's "set a key now?" answered Yes).
    std::function<void()> openSettings;
    /// Called before each item (for progress feedback on long drops).
    std::function<void(int done, int total, const QString &item)> progress;
    /// Bytes written so far for the current item, while it has to be copied
    /// or encrypted.
    std::function<void(std::uint64_t done, std::uint64_t total)> itemBytes;
    /// Called with true before each question or window of the drop, and with
    /// false once it is closed: what shows the work gets out of its way.
    std::function<void(bool open)> asking;

private:
    void moveLoop(int index, const QStringList &paths, const DropCategory &category);
    bool safeLoop(const QStringList &paths, const DropCategory &category);
    bool ask(const QString &question);
    void tell(const QString &title, const QString &balloon, const QString &status);

    UserDialogs &m_dialogs;
    StatusLine &m_status;
    ProcessValues &m_values;
    QString m_appFolder;
    std::uint64_t m_droppedBytes = 0;
};
