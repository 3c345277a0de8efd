// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

/// The refusals and the move of items dropped on a category tile.
namespace DropMove {

/// Items an ordinary category refuses: a drive or filesystem root, a path
/// ending in a separator, or one that holds "windows", "system" or
/// "program files" anywhere (lower case).
bool isRefusedForMove(const QString &path);
/// Items the safe refuses: a root or a path ending in a separator.
bool isRefusedForSafe(const QString &path);

enum class Result {
    Moved,      // the item is in the folder and gone from its old place
    CopiedKept, // copied, and left where it was: a read-only item, or a
                // folder holding entries that were not copied
    Failed,     // nothing changed at the old place, nothing new in the folder
};

/// The step a move failed at.
enum class Step {
    None,
    Missing,      // no such item, or the folder is none
    IntoItself,   // the folder is the item or lies inside it
    NotAFile,     // a pipe, socket or device, whose content would have to be read
    Read,         // opening or listing the item
    CreateFolder, // making (or entering) a folder of the copy
    Copy,         // the bytes of a file
    PutInPlace,   // naming a finished file or link
};

/// What went wrong in a move, and what it left out.
struct Report {
    Step failedStep = Step::None;
    int errorCode = 0;     // errno of the failed call, 0 when there is none
    QString failedPath;    // what the failed step worked on
    QStringList notCopied; // entries of a folder that are not read: pipes, sockets, devices
    /// The failure came from a full disk or an exhausted quota.
    bool diskFull() const;
};

/// Bytes copied so far of the item's total, while a move has to copy.
using ByteProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

/// Moves a file, folder or link into folder under its own name, replacing a
/// file of that name (folders merge). On one filesystem a rename does it at
/// once; otherwise every file is written under no name (or a part name) and
/// named once complete, links are made anew, and the source goes only after
/// the whole copy; a copy that fails removes what it made. report (when given)
/// names the failed step.
Result moveIntoFolder(const QString &source, const QString &folder, Report *report = nullptr,
                      const ByteProgress &progress = {});

} // namespace DropMove
