// SPDX-License-Identifier: MIT
#include "filebox/DropMove.h"

#include <QFile>
#include <QStorageInfo>

#include <filesystem>

namespace fs = std::filesystem;

namespace DropMove {
namespace {

fs::path toPath(const QString &text) {
    return fs::path(QFile::encodeName(text).toStdString());
}

bool isRootOrEndsInSeparator(const QString &path) {
    const QString lower = path.toLower();
    if (lower.size() == 3 || lower.endsWith(u'\\') || lower.endsWith(u'/'))
        return true;
    const QStorageInfo volume(path);
    return volume.isValid() && volume.rootPath() == path;
}

bool isReadOnly(const fs::path &path) {
    std::error_code error;
    const fs::perms perms = fs::symlink_status(path, error).permissions();
    return !error && (perms & fs::perms::owner_write) == fs::perms::none;
}

bool fail(QString *error, const QString &text) {
    if (error)
        *error = text;
    return false;
}

// A file copied beside its target and renamed over it once complete.
bool copyFile(const fs::path &source, const fs::path &target, QString *error) {
    std::error_code ec;
    const fs::path temporary = target.string() + ".tackora-part";
    fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec);
    if (ec || fs::file_size(temporary, ec) != fs::file_size(source, ec) || ec) {
        fs::remove(temporary, ec);
        return fail(error, QStringLiteral("cannot copy %1").arg(QString::fromStdString(source.string())));
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return fail(error,
                    QStringLiteral("cannot put %1 in place").arg(QString::fromStdString(target.string())));
    }
    return true;
}

// The whole tree, merged into target; false at the first file that fails.
bool copyTree(const fs::path &source, const fs::path &target, QString *error) {
    std::error_code ec;
    fs::create_directories(target, ec);
    if (ec)
        return fail(error, QStringLiteral("cannot create %1").arg(QString::fromStdString(target.string())));
    for (fs::directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path to = target / it->path().filename();
        if (it->is_symlink(ec)) {
            fs::copy_symlink(it->path(), to, ec);
            if (ec)
                return fail(error, QStringLiteral("cannot copy the link %1")
                                       .arg(QString::fromStdString(it->path().string())));
        } else if (it->is_directory(ec)) {
            if (!copyTree(it->path(), to, error))
                return false;
        } else if (!copyFile(it->path(), to, error)) {
            return false;
        }
    }
    return !ec || fail(error, QStringLiteral("cannot read %1").arg(QString::fromStdString(source.string())));
}

} // namespace

bool isRefusedForMove(const QString &path) {
    const QString lower = path.toLower();
    return isRootOrEndsInSeparator(path) || lower.contains(QStringLiteral("windows")) ||
           lower.contains(QStringLiteral("system")) || lower.contains(QStringLiteral("program files"));
}

bool isRefusedForSafe(const QString &path) {
    return isRootOrEndsInSeparator(path);
}

Result moveIntoFolder(const QString &sourceText, const QString &folderText, QString *error) {
    const fs::path source = toPath(sourceText);
    const fs::path folder = toPath(folderText);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(source, ec)) || !fs::is_directory(folder, ec)) {
        fail(error, QStringLiteral("no such item or folder"));
        return Result::Failed;
    }
    const fs::path target = folder / source.filename();
    if (fs::equivalent(source.parent_path(), folder, ec) && !ec) {
        return Result::Moved; // already there
    }
    const bool readOnly = isReadOnly(source);
    const bool isFolder = fs::is_directory(fs::symlink_status(source, ec));
    // On one filesystem a rename moves the item at once; a folder is merged
    // into an existing one by copying.
    if (!readOnly && !(isFolder && fs::exists(target, ec))) {
        fs::rename(source, target, ec);
        if (!ec)
            return Result::Moved;
    }
    const bool copied = isFolder ? copyTree(source, target, error) : copyFile(source, target, error);
    if (!copied)
        return Result::Failed;
    if (readOnly)
        return Result::CopiedKept;
    if (isFolder)
        fs::remove_all(source, ec);
    else
        fs::remove(source, ec);
    return Result::Moved;
}

} // namespace DropMove
