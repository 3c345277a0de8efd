// SPDX-License-Identifier: MIT
#include "filebox/PartFile.h"

#include <QRandomGenerator>
#include <QtGlobal>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr time_t kQuietSeconds = 60;

bool unnamedAllowed() {
    return qEnvironmentVariableIntValue("TACKORA_NAMED_TEMPORARIES") != 1;
}

// Names the unnamed file fd in dirFd; fails with EEXIST when the name is taken.
bool linkUnnamed(int fd, int dirFd, const char *name) {
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, self, dirFd, name, AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != ENOENT)
        return false;
    // No /proc: the same with CAP_DAC_READ_SEARCH.
    return ::linkat(fd, "", dirFd, name, AT_EMPTY_PATH) == 0;
}

bool startsWithPrefix(const char *name) {
    return std::strncmp(name, PartFile::kPrefix, std::strlen(PartFile::kPrefix)) == 0;
}

// Removes the folder name in dirFd and all it holds, entering no link.
void removeFolder(int dirFd, const char *name) {
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (DIR *listing = fd < 0 ? nullptr : ::fdopendir(fd)) {
        while (const dirent *entry = ::readdir(listing)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            struct stat info {};
            if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISDIR(info.st_mode))
                removeFolder(::dirfd(listing), entry->d_name);
            else
                ::unlinkat(::dirfd(listing), entry->d_name, 0);
        }
        ::closedir(listing);
    } else if (fd >= 0) {
        ::close(fd);
    }
    ::unlinkat(dirFd, name, AT_REMOVEDIR);
}

bool quietFor(const struct stat &info, time_t seconds) {
    return info.st_mtim.tv_sec + seconds < std::time(nullptr);
}

} // namespace

QByteArray partFileName() {
    return QByteArray(PartFile::kPrefix) +
           QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
}

PartFile::PartFile(int dirFd, mode_t mode)
    : m_dirFd(dirFd) {
    if (unnamedAllowed()) {
        m_fd = ::openat(dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (m_fd < 0 && errno != EOPNOTSUPP && errno != EISDIR) {
            m_error = errno;
            return;
        }
    }
    if (m_fd < 0 && !openNamed(mode))
        return;
    // Held while the file is written: sweepLeftovers() leaves a held file alone.
    ::flock(m_fd, LOCK_EX);
}

bool PartFile::openNamed(mode_t mode) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QByteArray name = partFileName();
        m_fd =
            ::openat(m_dirFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (m_fd >= 0) {
            m_name = name;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    m_error = errno;
    return false;
}

PartFile::~PartFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_name.isEmpty())
        ::unlinkat(m_dirFd, m_name.constData(), 0);
}

bool PartFile::commit(const char *name) {
    if (m_fd < 0)
        return false;
    if (m_name.isEmpty()) {
        if (linkUnnamed(m_fd, m_dirFd, name)) {
            ::close(std::exchange(m_fd, -1));
            return true;
        }
        if (errno != EEXIST) {
            m_error = errno;
            return false;
        }
        // A link cannot replace a name: link under a part name, then rename over it.
        const QByteArray part = partFileName();
        if (!linkUnnamed(m_fd, m_dirFd, part.constData())) {
            m_error = errno;
            return false;
        }
        m_name = part;
    }
    if (::renameat(m_dirFd, m_name.constData(), m_dirFd, name) != 0) {
        m_error = errno;
        return false; // the destructor removes the part
    }
    m_name.clear();
    ::close(std::exchange(m_fd, -1));
    return true;
}

void sweepLeftovers(int dirFd) {
    const int listingFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *listing = listingFd < 0 ? nullptr : ::fdopendir(listingFd);
    if (!listing) {
        if (listingFd >= 0)
            ::close(listingFd);
        return;
    }
    while (const dirent *entry = ::readdir(listing)) {
        if (!startsWithPrefix(entry->d_name))
            continue;
        struct stat named {};
        if (::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !quietFor(named, kQuietSeconds))
            continue;
        if (S_ISLNK(named.st_mode)) {
            ::unlinkat(dirFd, entry->d_name, 0); // a link put in place is renamed at once
            continue;
        }
        if (!S_ISREG(named.st_mode) && !S_ISDIR(named.st_mode))
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {};
        // Still the same one, and no move holds it.
        if (::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (S_ISDIR(opened.st_mode))
                removeFolder(dirFd, entry->d_name);
            else
                ::unlinkat(dirFd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(listing);
}
