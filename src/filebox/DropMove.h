// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

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
    CopiedKept, // a read-only item: copied, and left where it was
    Failed,     // nothing changed at the old place
};

/// Bytes copied so far of the item's total, while a move has to copy.
using ByteProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

/// Moves a file or folder into folder under its own name, replacing a file of
/// that name (folders merge). On one filesystem a rename does it at once;
/// otherwise the source goes only after its whole copy is complete and of the
/// right size. error (when given) names the failed step.
Result moveIntoFolder(const QString &source, const QString &folder, QString *error = nullptr,
                      const ByteProgress &progress = {});

} // namespace DropMove
