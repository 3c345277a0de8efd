// SPDX-License-Identifier: MIT
#include "common/AtomicFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kPrefix[] = ".tackora-";
constexpr char kSuffix[] = ".part";
constexpr qsizetype kRandomLength = 12;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Random names collide only by bad luck, so a few tries settle it.
constexpr int kNameAttempts = 16;

QString describe(const QString &step, int error) {
    return step + QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, QByteArrayView data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t written = ::write(fd, data.data() + done, size_t(data.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

QByteArray temporaryName() {
    QByteArray name(kPrefix);
    for (qsizetype i = 0; i < kRandomLength; ++i)
        name += kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))];
    return name + kSuffix;
}

bool isTemporaryName(const char *name) {
    const size_t prefix = sizeof kPrefix - 1;
    if (std::strlen(name) != prefix + kRandomLength + sizeof kSuffix - 1 ||
        std::strncmp(name, kPrefix, prefix) != 0 || std::strcmp(name + prefix + kRandomLength, kSuffix) != 0)
        return false;
    for (qsizetype i = 0; i < kRandomLength; ++i) {
        if (!std::strchr(kAlphabet, name[prefix + size_t(i)]))
            return false;
    }
    return true;
}

// Removes the temporary files killed writers left in folder: a live writer
// holds a lock on its file from the moment after it made it, and its writes
// keep it young, so a file both unlocked and old is nobody's.
void removeStaleTemporaries(int folder) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR *entries = ::fdopendir(listing);
    if (!entries) {
        ::close(listing);
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(entries)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const int fd =
            ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held = {};
        struct stat named = {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            now - held.st_mtime > AtomicFileWriter::kStaleSeconds && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlinkat(folder, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(entries);
}

// An unnamed file gets its name through /proc/self/fd; without /proc it
// could never be named.
bool canNameUnnamedFiles() {
    static const bool usable = ::access("/proc/self/fd", X_OK) == 0;
    return usable;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(QString path)
    : m_path(std::move(path)) {}

AtomicFileWriter::~AtomicFileWriter() {
    cancel();
}

bool AtomicFileWriter::fail(const QString &step, int error) {
    m_error = describe(step, error);
    cancel();
    return false;
}

// Plain POSIX calls: this runs for every single setting the program stores,
// and the fewer calls the cheaper the replace.
bool AtomicFileWriter::open() {
    cancel();
    m_error.clear();
    const auto cannotCreate = [this](int error) {
        return fail(QStringLiteral("无法在 %1 旁建立临时文件：").arg(m_path), error);
    };
    const QByteArray target = QFile::encodeName(m_path);
    const qsizetype slash = target.lastIndexOf('/');
    m_fileName = target.sliced(slash + 1);
    if (m_fileName.isEmpty())
        return cannotCreate(EISDIR);
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : target.first(slash);
    m_folder = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        return cannotCreate(errno);
    removeStaleTemporaries(m_folder);

    if (canNameUnnamedFiles() && !qEnvironmentVariableIsSet("TACKORA_NAMED_TEMPORARIES"))
        m_fd = ::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    for (int attempt = 0; m_fd < 0 && attempt < kNameAttempts; ++attempt) {
        const QByteArray name = temporaryName();
        m_fd =
            ::openat(m_folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        const int error = errno;
        if (m_fd >= 0)
            m_temporary = name;
        else if (error != EEXIST)
            return cannotCreate(error);
    }
    if (m_fd < 0)
        return cannotCreate(EEXIST);
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    // The new file keeps the old one's permissions; a file made anew stays
    // readable by its owner alone, since setup.ini holds the user password and
    // the safe's files are private.
    struct stat old = {};
    if (::fstatat(m_folder, m_fileName.constData(), &old, 0) == 0)
        ::fchmod(m_fd, old.st_mode & 07777);
    return true;
}

bool AtomicFileWriter::write(QByteArrayView data) {
    if (m_fd < 0)
        return false;
    if (!writeAll(m_fd, data)) {
        const int error = errno;
        return fail(QStringLiteral("无法写入 %1：").arg(m_path), error);
    }
    return true;
}

// linkat cannot replace a file, so the finished file gets a fresh name of
// ours, which the rename then puts over the target.
bool AtomicFileWriter::nameTheFile() {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    int error = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
        const QByteArray name = temporaryName();
        if (::linkat(AT_FDCWD, self.constData(), m_folder, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
            m_temporary = name;
            return true;
        }
        error = errno;
    }
    return fail(QStringLiteral("无法替换 %1：").arg(m_path), error);
}

bool AtomicFileWriter::commit() {
    if (m_fd < 0)
        return false;
    // The data reaches the disk before the name does: after a power cut the
    // target is the old file or the whole new one, never an empty one.
    if (::fdatasync(m_fd) != 0) {
        const int error = errno;
        return fail(QStringLiteral("无法把 %1 写到磁盘上：").arg(m_path), error);
    }
    if (m_temporary.isEmpty() && !nameTheFile())
        return false;
    if (::renameat(m_folder, m_temporary.constData(), m_folder, m_fileName.constData()) != 0) {
        const int error = errno;
        return fail(QStringLiteral("无法替换 %1：").arg(m_path), error);
    }
    m_temporary.clear();
    // EINVAL: a filesystem with nothing to flush for a folder.
    const int folderFlushed = ::fsync(m_folder) == 0 ? 0 : errno;
    cancel();
    if (folderFlushed != 0 && folderFlushed != EINVAL) {
        m_error =
            describe(QStringLiteral("已替换 %1，但其所在文件夹未能写到磁盘上：").arg(m_path), folderFlushed);
        return false;
    }
    return true;
}

void AtomicFileWriter::cancel() {
    if (!m_temporary.isEmpty()) {
        ::unlinkat(m_folder, m_temporary.constData(), 0);
        m_temporary.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_folder >= 0) {
        ::close(m_folder);
        m_folder = -1;
    }
}

bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error) {
    AtomicFileWriter writer(path);
    const bool ok = writer.open() && writer.write(data) && writer.commit();
    if (!ok && error)
        *error = writer.errorString();
    return ok;
}
