// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>

/// The file box's disk-usage line and the tiles' size tips.
namespace DiskUsage {

/// value rounded to two decimals, ties to even, without trailing zeros
/// ("12.5", "3", "0.5").
QString twoDecimals(double value);

/// Bytes as megabytes the way the tips show them: "0.5M", "12.5M".
QString megabytes(std::uint64_t bytes);

/// Bytes as gigabytes: "465.76G".
QString gigabytes(std::uint64_t bytes);

/// Sizes of the file-box tree, from one walk of it.
struct TreeSizes {
    std::uint64_t root = 0;
    std::array<std::uint64_t, 9> categories{};
};

/// Walks root once (symbolic links are not followed, unreadable folders are
/// skipped) and adds each regular file's size (apparent size; a file with
/// several hard links counts at each) to the root and to the category whose
/// folder (root + caption) holds it. A cancelled walk (cancelled turned true)
/// ends early with what it had counted.
TreeSizes measure(const QString &root, const std::array<QString, 9> &captions,
                  const std::atomic<bool> *cancelled = nullptr);

/// What the walk counts for one item: a regular file's size, the files of a
/// folder; a symbolic link or a special file counts nothing.
std::uint64_t itemBytes(const QString &path);

/// "[磁盘:" + total + " 已用:" + used + " 剩余:" + free + "]".
QString usageLine(std::uint64_t volumeTotal, std::uint64_t volumeFree, std::uint64_t rootBytes);

/// "占用：" + size.
QString tileTip(std::uint64_t bytes);

} // namespace DiskUsage
