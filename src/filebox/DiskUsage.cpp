// SPDX-License-Identifier: MIT
#include "filebox/DiskUsage.h"

#include <QFile>

#include <cmath>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskUsage {

QString twoDecimals(double value) {
    // Hundredths, rounded half to even as the original rounding does.
    const double hundredths = std::nearbyint(value * 100.0);
    QString text = QString::number(hundredths / 100.0, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == u"-0")
        text = QStringLiteral("0");
    return text;
}

QString megabytes(std::uint64_t bytes) {
    QString text = twoDecimals(double(bytes) / 1024.0 / 1024.0) + u'M';
    if (text.startsWith(u'.'))
        text.prepend(u'0');
    return text;
}

QString gigabytes(std::uint64_t bytes) {
    return twoDecimals(double(bytes) / 1024.0 / 1024.0 / 1024.0) + u'G';
}

namespace {

// Calls visit(folder, name, type) for each entry of the open folder fd (which
// it closes) but "." and "..", until cancelled; folder is the fd to stat and
// open the entry relative to.
template <typename Visit> void forEachEntry(int fd, const std::atomic<bool> *cancelled, Visit visit) {
    DIR *folder = ::fdopendir(fd);
    if (!folder) {
        ::close(fd);
        return;
    }
    while (const dirent *entry = ::readdir(folder)) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            break;
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        visit(::dirfd(folder), name, entry->d_type);
    }
    ::closedir(folder);
}

// O_NOFOLLOW: a folder replaced by a link meanwhile is not entered.
int openChildFolder(int folder, const char *name) {
    return ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
}

// Sums the regular files below the open folder fd (which it closes), relative
// to it: one fstatat per file, none per folder, as du does with its fts.
std::uint64_t folderBytes(int fd, const std::atomic<bool> *cancelled) {
    std::uint64_t bytes = 0;
    forEachEntry(fd, cancelled, [&](int folder, const char *name, unsigned char type) {
        struct stat info {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                return;
            if (S_ISREG(info.st_mode)) {
                bytes += std::uint64_t(info.st_size);
                return;
            }
            type = S_ISDIR(info.st_mode) ? DT_DIR : DT_LNK;
        }
        if (type == DT_DIR) {
            const int child = openChildFolder(folder, name);
            if (child >= 0)
                bytes += folderBytes(child, cancelled);
        } else if (type == DT_REG && ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                   S_ISREG(info.st_mode)) {
            bytes += std::uint64_t(info.st_size);
        }
    });
    return bytes;
}

} // namespace

TreeSizes measure(const QString &root, const std::array<QString, 9> &captions,
                  const std::atomic<bool> *cancelled) {
    TreeSizes sizes;
    // The root itself is followed where it is a link, as its entries are not.
    const int rootFd =
        ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (rootFd < 0)
        return sizes;
    forEachEntry(rootFd, cancelled, [&](int folder, const char *name, unsigned char) {
        struct stat info {};
        if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        if (S_ISREG(info.st_mode)) {
            sizes.root += std::uint64_t(info.st_size); // a loose file: no category
            return;
        }
        if (!S_ISDIR(info.st_mode))
            return;
        const int child = openChildFolder(folder, name);
        if (child < 0)
            return;
        const std::uint64_t bytes = folderBytes(child, cancelled);
        sizes.root += bytes;
        const QString caption = QFile::decodeName(QByteArray(name));
        for (int i = 0; i < 9; ++i) {
            if (caption == captions[i]) {
                sizes.categories[i] += bytes;
                break;
            }
        }
    });
    return sizes;
}

std::uint64_t itemBytes(const QString &path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    if (S_ISREG(info.st_mode))
        return std::uint64_t(info.st_size);
    if (!S_ISDIR(info.st_mode))
        return 0;
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    return fd < 0 ? 0 : folderBytes(fd, nullptr);
}

QString usageLine(std::uint64_t volumeTotal, std::uint64_t volumeFree, std::uint64_t rootBytes) {
    return QStringLiteral("[磁盘:") + gigabytes(volumeTotal) + QStringLiteral(" 已用:") +
           megabytes(rootBytes) + QStringLiteral(" 剩余:") + gigabytes(volumeFree) + u']';
}

QString tileTip(std::uint64_t bytes) {
    return QStringLiteral("占用：") + megabytes(bytes);
}

} // namespace DiskUsage
