// SPDX-License-Identifier: MIT
#include "filebox/DropMove.h"

#include "filebox/PartFile.h"

#include <QFile>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace DropMove {
namespace {

fs::path toPath(const QString &text) {
    return fs::path(QFile::encodeName(text).toStdString());
}

QString toText(const fs::path &path) {
    return QFile::decodeName(path.c_str());
}

bool isRootOrEndsInSeparator(const QString &path) {
    const QString lower = path.toLower();
    if (lower.size() == 3 || lower.endsWith(u'\\') || lower.endsWith(u'/'))
        return true;
    const QStorageInfo volume(path);
    return volume.isValid() && volume.rootPath() == path;
}

class Fd final {
public:
    explicit Fd(int fd)
        : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

bool sameFile(const struct stat &a, const struct stat &b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether folder is item or lies inside it, by their canonical paths.
bool holdsFolder(const fs::path &item, const fs::path &folder) {
    std::error_code ec;
    const fs::path outer = fs::canonical(item, ec);
    if (ec)
        return false;
    const fs::path inner = fs::canonical(folder, ec);
    if (ec)
        return false;
    return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first == outer.end();
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

// The bytes of in into out, in slices so that the meter moves; errno of
// what failed, or 0.
int copyBytes(int in, int out, CopyMeter &meter) {
    constexpr std::size_t kSlice = 16u << 20;
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
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    if (n == 0)
                        errno = EIO;
                    copied = -1;
                    break;
                }
                written += n;
            }
        }
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0)
            return errno;
        if (copied == 0)
            return 0;
        meter.add(std::uint64_t(copied));
    }
}

// Removes what relative names under folderFd, entering no link on the way.
void removeUnder(int folderFd, const fs::path &relative, bool folder) {
    int dir = ::dup(folderFd);
    for (const fs::path &component : relative.parent_path()) {
        const int next =
            dir < 0 ? -1 : ::openat(dir, component.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dir >= 0)
            ::close(dir);
        dir = next;
    }
    if (dir < 0)
        return;
    ::unlinkat(dir, relative.filename().c_str(), folder ? AT_REMOVEDIR : 0);
    ::close(dir);
}

// The copy of an item into a folder, which remembers what it made there so
// that a copy that fails can take it away again (and nothing that was there
// before). Paths into the folder are relative to it.
class Copier final {
public:
    Copier(Report &report, fs::path folder, const ByteProgress &progress, std::uint64_t total)
        : m_report(report)
        , m_folder(std::move(folder))
        , m_meter{progress, total} {}

    bool file(int fromDir, const char *fromName, const fs::path &from, int toDir, const fs::path &to);
    bool link(int fromDir, const char *fromName, const fs::path &from, int toDir, const fs::path &to);
    // These take fromFd, the open source folder. tree() merges into a folder
    // of that name, newTree() makes it.
    bool tree(int fromFd, const fs::path &from, int toParent, const fs::path &to);
    bool newTree(int fromFd, const fs::path &from, int toParent, const fs::path &to);
    void undo(int folderFd) const;

private:
    bool fill(int fromFd, const fs::path &from, int intoFd, const fs::path &to, bool made);
    bool fail(Step step, int code, const fs::path &path) {
        m_report.failedStep = step;
        m_report.errorCode = code;
        m_report.failedPath = toText(path);
        return false;
    }

    Report &m_report;
    fs::path m_folder;
    CopyMeter m_meter;
    std::vector<std::pair<fs::path, bool>> m_made; // in order; true for a folder
};

bool Copier::file(int fromDir, const char *fromName, const fs::path &from, int toDir, const fs::path &to) {
    // Not waiting for a writer should it be a pipe after all; what was opened is checked.
    const Fd in(::openat(fromDir, fromName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!in.valid() || ::fstat(in.get(), &info) != 0)
        return fail(Step::Read, errno, from);
    if (!S_ISREG(info.st_mode))
        return fail(Step::NotAFile, 0, from);
    PartFile part(toDir, info.st_mode & 07777);
    if (!part.isOpen())
        return fail(Step::Copy, part.error(), m_folder / to);
    if (const int error = copyBytes(in.get(), part.fd(), m_meter))
        return fail(Step::Copy, error, from);
    struct stat written {};
    if (::fstat(part.fd(), &written) != 0 || written.st_size != info.st_size)
        return fail(Step::Copy, 0, from); // changed while it was copied
    ::fchmod(part.fd(), info.st_mode & 07777);
    const fs::path name = to.filename();
    struct stat existing {};
    const bool existed = ::fstatat(toDir, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!part.commit(name.c_str()))
        return fail(Step::PutInPlace, part.error(), m_folder / to);
    if (!existed)
        m_made.emplace_back(to, false);
    return true;
}

bool Copier::link(int fromDir, const char *fromName, const fs::path &from, int toDir, const fs::path &to) {
    std::string text(256, '\0');
    for (;;) {
        const ssize_t size = ::readlinkat(fromDir, fromName, text.data(), text.size());
        if (size < 0)
            return fail(Step::Read, errno, from);
        if (std::size_t(size) < text.size()) {
            text.resize(std::size_t(size));
            break;
        }
        text.resize(text.size() * 2);
    }
    const fs::path name = to.filename();
    if (::symlinkat(text.c_str(), toDir, name.c_str()) == 0) {
        m_made.emplace_back(to, false);
        return true;
    }
    if (errno != EEXIST)
        return fail(Step::PutInPlace, errno, m_folder / to);
    // Replaces what has the name, as a file does.
    const QByteArray part = partFileName();
    if (::symlinkat(text.c_str(), toDir, part.constData()) != 0)
        return fail(Step::PutInPlace, errno, m_folder / to);
    if (::renameat(toDir, part.constData(), toDir, name.c_str()) != 0) {
        const int error = errno;
        ::unlinkat(toDir, part.constData(), 0);
        return fail(Step::PutInPlace, error, m_folder / to);
    }
    return true;
}

bool Copier::tree(int fromFd, const fs::path &from, int toParent, const fs::path &to) {
    const fs::path name = to.filename();
    const bool made = ::mkdirat(toParent, name.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) {
        ::close(fromFd);
        return fail(Step::CreateFolder, errno, m_folder / to);
    }
    if (made)
        m_made.emplace_back(to, true);
    // A link of that name is not followed: the copy would land outside.
    const Fd into(::openat(toParent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!into.valid()) {
        ::close(fromFd);
        return fail(Step::CreateFolder, errno, m_folder / to);
    }
    if (!made)
        sweepLeftovers(into.get());
    return fill(fromFd, from, into.get(), to, made);
}

bool Copier::newTree(int fromFd, const fs::path &from, int toParent, const fs::path &to) {
    // Filled under a part name and named once complete: a kill leaves no
    // half folder under the name, and sweepLeftovers() takes the part away.
    const fs::path part = partFileName().toStdString();
    if (::mkdirat(toParent, part.c_str(), 0700) != 0) {
        ::close(fromFd);
        return fail(Step::CreateFolder, errno, m_folder / part);
    }
    m_made.emplace_back(part, true);
    const Fd into(::openat(toParent, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!into.valid()) {
        ::close(fromFd);
        return fail(Step::CreateFolder, errno, m_folder / part);
    }
    ::flock(into.get(), LOCK_EX); // held while it fills: sweepLeftovers() leaves it alone
    if (!fill(fromFd, from, into.get(), part, true))
        return false;
    const fs::path name = to.filename();
    int named = ::renameat2(toParent, part.c_str(), toParent, name.c_str(), RENAME_NOREPLACE);
    if (named != 0 && errno == EINVAL) // a filesystem without it
        named = ::renameat(toParent, part.c_str(), toParent, name.c_str());
    return named == 0 || fail(Step::PutInPlace, errno, m_folder / to);
}

bool Copier::fill(int fromFd, const fs::path &from, int intoFd, const fs::path &to, bool made) {
    struct stat folderInfo {};
    ::fstat(fromFd, &folderInfo);
    const std::unique_ptr<DIR, int (*)(DIR *)> listing(::fdopendir(fromFd), ::closedir);
    if (!listing) {
        const int error = errno;
        ::close(fromFd);
        return fail(Step::Read, error, from);
    }
    const int fromDir = ::dirfd(listing.get());
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(listing.get());
        if (!entry)
            break;
        const char *entryName = entry->d_name;
        if (std::strcmp(entryName, ".") == 0 || std::strcmp(entryName, "..") == 0)
            continue;
        const fs::path fromEntry = from / entryName;
        const fs::path toEntry = to / entryName;
        struct stat info {};
        if (::fstatat(fromDir, entryName, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return fail(Step::Read, errno, fromEntry);
        bool ok = true;
        if (S_ISDIR(info.st_mode)) {
            const int sub = ::openat(fromDir, entryName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            ok = sub >= 0 ? tree(sub, fromEntry, intoFd, toEntry) : fail(Step::Read, errno, fromEntry);
        } else if (S_ISREG(info.st_mode)) {
            ok = file(fromDir, entryName, fromEntry, intoFd, toEntry);
        } else if (S_ISLNK(info.st_mode)) {
            ok = link(fromDir, entryName, fromEntry, intoFd, toEntry);
        } else {
            m_report.notCopied.append(toText(fromEntry)); // reading it could block or never end
        }
        if (!ok)
            return false;
    }
    if (errno != 0)
        return fail(Step::Read, errno, from);
    if (made)
        ::fchmod(intoFd, folderInfo.st_mode & 07777); // last, so a read-only folder could be filled
    return true;
}

void Copier::undo(int folderFd) const {
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
        removeUnder(folderFd, it->first, it->second);
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

bool Report::diskFull() const {
    return errorCode == ENOSPC || errorCode == EDQUOT;
}

bool isRefusedForMove(const QString &path) {
    const QString lower = path.toLower();
    return isRootOrEndsInSeparator(path) || lower.contains(QStringLiteral("windows")) ||
           lower.contains(QStringLiteral("system")) || lower.contains(QStringLiteral("program files"));
}

bool isRefusedForSafe(const QString &path) {
    return isRootOrEndsInSeparator(path);
}

Result moveIntoFolder(const QString &sourceText, const QString &folderText, Report *report,
                      const ByteProgress &progress) {
    Report unused;
    Report &told = report ? *report : unused;
    told = Report();
    const auto failed = [&told](Step step, int code, const fs::path &path) {
        told.failedStep = step;
        told.errorCode = code;
        told.failedPath = toText(path);
        return Result::Failed;
    };
    fs::path source = toPath(sourceText);
    if (!source.has_filename())
        source = source.parent_path(); // "a/b/" names b
    const fs::path folder = toPath(folderText);
    struct stat item {};
    if (::lstat(source.c_str(), &item) != 0)
        return failed(Step::Missing, errno, source);
    const Fd into(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat intoInfo {};
    if (!into.valid() || ::fstat(into.get(), &intoInfo) != 0)
        return failed(Step::Missing, errno, folder);
    struct stat parent {};
    const fs::path parentPath = source.has_parent_path() ? source.parent_path() : fs::path(".");
    if (::stat(parentPath.c_str(), &parent) == 0 && sameFile(parent, intoInfo))
        return Result::Moved; // already there
    const bool isFolder = S_ISDIR(item.st_mode);
    // It would be copied into itself until the paths get too long.
    if (isFolder && holdsFolder(source, folder))
        return failed(Step::IntoItself, 0, source);
    const fs::path name = source.filename();
    const bool readOnly = (item.st_mode & S_IWUSR) == 0 && !S_ISLNK(item.st_mode);
    struct stat existing {};
    const bool targetExists = ::fstatat(into.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    // On one filesystem a rename moves the item at once, reading nothing; a
    // folder is merged into an existing one by copying.
    if (!readOnly && !(isFolder && targetExists) &&
        ::renameat(AT_FDCWD, source.c_str(), into.get(), name.c_str()) == 0)
        return Result::Moved;
    if (!isFolder && !S_ISREG(item.st_mode) && !S_ISLNK(item.st_mode))
        return failed(Step::NotAFile, 0, source);
    sweepLeftovers(into.get());
    Copier copier(told, folder, progress, progress ? sizeOf(source) : 0);
    bool copied = false;
    if (isFolder) {
        const int fd = ::open(source.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return failed(Step::Read, errno, source);
        copied = targetExists ? copier.tree(fd, source, into.get(), name)
                              : copier.newTree(fd, source, into.get(), name);
    } else if (S_ISLNK(item.st_mode)) {
        copied = copier.link(AT_FDCWD, source.c_str(), source, into.get(), name);
    } else {
        copied = copier.file(AT_FDCWD, source.c_str(), source, into.get(), name);
    }
    if (!copied) {
        copier.undo(into.get());
        return Result::Failed;
    }
    if (readOnly || !told.notCopied.isEmpty())
        return Result::CopiedKept;
    std::error_code ec;
    fs::remove_all(source, ec); // a file or a link: just it
    return Result::Moved;
}

} // namespace DropMove
