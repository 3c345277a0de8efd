// SPDX-License-Identifier: MIT
#include "filebox/DropMove.h"

#include <QFile>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

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

// Counts the bytes of a copy against the item's total.
struct CopyMeter {
    const ByteProgress &report;
    std::uint64_t total = 0;
    std::uint64_t done = 0;
    void add(std::uint64_t bytes) {
        done += bytes;
        if (report)
            report(done, total);
    }
};

// The bytes of a file into a new file of the same permissions, in slices so
// that the meter moves.
bool copyContent(const fs::path &source, const fs::path &target, CopyMeter &meter) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat info {};
    if (::fstat(in, &info) != 0) {
        ::close(in);
        return false;
    }
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, info.st_mode & 07777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    constexpr std::size_t kSlice = 16u << 20;
    bool ok = true;
    bool useRange = true;
    std::vector<char> buffer;
    for (;;) {
        ssize_t copied = -1;
        if (useRange) {
            copied = ::copy_file_range(in, nullptr, out, nullptr, kSlice, 0);
            if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                useRange = false;
                continue;
            }
        } else {
            if (buffer.empty())
                buffer.resize(1u << 20);
            copied = ::read(in, buffer.data(), buffer.size());
            for (ssize_t written = 0; copied > 0 && written < copied;) {
                const ssize_t n = ::write(out, buffer.data() + written, std::size_t(copied - written));
                if (n <= 0) {
                    copied = -1;
                    break;
                }
                written += n;
            }
        }
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied <= 0) {
            ok = copied == 0;
            break;
        }
        meter.add(std::uint64_t(copied));
    }
    ::fchmod(out, info.st_mode & 07777);
    ok = ::close(out) == 0 && ok;
    ::close(in);
    return ok;
}

// A file copied beside its target and renamed over it once complete.
bool copyFile(const fs::path &source, const fs::path &target, QString *error, CopyMeter &meter) {
    std::error_code ec;
    const fs::path temporary = target.string() + ".tackora-part";
    const bool copied = copyContent(source, temporary, meter);
    if (!copied || fs::file_size(temporary, ec) != fs::file_size(source, ec) || ec) {
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
bool copyTree(const fs::path &source, const fs::path &target, QString *error, CopyMeter &meter) {
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
            if (!copyTree(it->path(), to, error, meter))
                return false;
        } else if (!copyFile(it->path(), to, error, meter)) {
            return false;
        }
    }
    return !ec || fail(error, QStringLiteral("cannot read %1").arg(QString::fromStdString(source.string())));
}

// The bytes a copy of the item will write (links not followed).
std::uint64_t sizeOf(const fs::path &item) {
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(item, ec)))
        return fs::is_regular_file(fs::symlink_status(item, ec)) ? fs::file_size(item, ec) : 0;
    std::uint64_t total = 0;
    for (fs::recursive_directory_iterator it(item, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && !it->is_symlink(ec))
            total += it->file_size(ec);
    }
    return total;
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

Result moveIntoFolder(const QString &sourceText, const QString &folderText, QString *error,
                      const ByteProgress &progress) {
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
    CopyMeter meter{progress, progress ? sizeOf(source) : 0};
    const bool copied =
        isFolder ? copyTree(source, target, error, meter) : copyFile(source, target, error, meter);
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
