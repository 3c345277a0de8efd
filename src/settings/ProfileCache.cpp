// SPDX-License-Identifier: MIT
#include "settings/ProfileCache.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A profile file is small; a larger one is not ours to load into memory whole.
constexpr qint64 kLargestProfileFile = 64 * 1024 * 1024;
// The coarsest timestamps about: FAT's two seconds.
constexpr qint64 kTimestampTick = 2'000'000'000;

qint64 nanoseconds(const timespec &time) {
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

qint64 systemNow() {
    timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

bool readAll(int fd, qint64 size, QByteArray *bytes) {
    // One byte more than the size, so that a file that grew meanwhile is read
    // whole, or refused once too large.
    bytes->resize(std::min(size, kLargestProfileFile) + 1);
    qint64 done = 0;
    for (;;) {
        if (done == bytes->size()) {
            if (done > kLargestProfileFile)
                return false;
            bytes->resize(std::min(2 * done, kLargestProfileFile + 1));
        }
        const ssize_t got = ::read(fd, bytes->data() + done, size_t(bytes->size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes->resize(done);
    return true;
}

} // namespace

ProfileCache::Stamp ProfileCache::stampOf(const struct stat &status) {
    return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
            nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

ProfileCache::ProfileCache(Clock now)
    : m_now(now ? std::move(now) : Clock(systemNow)) {}

ProfileCache &ProfileCache::shared() {
    static ProfileCache cache;
    return cache;
}

quint64 ProfileCache::parses() const {
    QMutexLocker lock(&m_mutex);
    return m_parses;
}

std::shared_ptr<const ProfileFormat::Profile> ProfileCache::parse(QByteArray bytes) {
    ++m_parses;
    return std::make_shared<const ProfileFormat::Profile>(std::move(bytes));
}

ProfileCache::Loaded ProfileCache::load(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    QMutexLocker lock(&m_mutex);
    struct stat status = {};
    if (::stat(name.constData(), &status) != 0)
        return {nullptr, errno != ENOENT && errno != ENOTDIR};
    if (!S_ISREG(status.st_mode) || status.st_size > kLargestProfileFile)
        return {nullptr, true};
    if (m_settled && path == m_path && stampOf(status) == m_stamp)
        return {m_profile, true};

    // The time before the bytes are read: a change after it shows in the stamp
    // unless the file changed within a tick of it.
    const qint64 now = m_now();
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {nullptr, true};
    QByteArray bytes;
    const bool read =
        ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && readAll(fd, status.st_size, &bytes);
    ::close(fd);
    if (!read)
        return {nullptr, true};
    const Stamp stamp = stampOf(status);
    if (path != m_path || !m_profile || m_profile->bytes() != bytes)
        m_profile = parse(std::move(bytes));
    m_path = path;
    m_stamp = stamp;
    m_settled = std::max(stamp.modified, stamp.changed) + kTimestampTick <= now;
    return {m_profile, true};
}

void ProfileCache::stored(const QString &path, QByteArray bytes) {
    QMutexLocker lock(&m_mutex);
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        m_path.clear();
        m_profile.reset();
        return;
    }
    m_path = path;
    m_stamp = stampOf(status);
    // Just written, so not settled: the next load compares the bytes.
    m_settled = false;
    m_profile = parse(std::move(bytes));
}
