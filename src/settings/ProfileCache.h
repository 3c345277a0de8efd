// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ProfileFormat.h"

#include <QMutex>
#include <QString>

#include <functional>
#include <memory>

struct stat;

/// The parsed form of the profile file last read or written, reused while the
/// file on disk is unchanged, so that a large file is not parsed again for
/// every value read. Unchanged means the same device, inode, size and
/// modification and change times to the nanosecond. A file changed less than
/// two seconds before it was read may change again within the same timestamp
/// tick (coarse clocks, two-second filesystems), so until then its bytes are
/// read and compared as well, though parsed again only when they differ: a hand
/// edit is always seen by the next read.
class ProfileCache final {
public:
    /// Nanoseconds since the epoch.
    using Clock = std::function<qint64()>;
    /// now: the system clock when empty.
    explicit ProfileCache(Clock now = {});

    struct Loaded {
        /// Null when the file is missing or cannot be read.
        std::shared_ptr<const ProfileFormat::Profile> profile;
        /// Something stands at the path, readable or not.
        bool exists = false;
    };
    /// The file at path, following links.
    Loaded load(const QString &path);
    /// Takes note of bytes just written to path, so that the next load need
    /// not parse them.
    void stored(const QString &path, QByteArray bytes);

    /// How many files it has parsed.
    quint64 parses() const;

    /// The one every SettingsFile shares.
    static ProfileCache &shared();

private:
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0; // nanoseconds
        qint64 changed = 0;
        bool operator==(const Stamp &) const = default;
    };
    static Stamp stampOf(const struct stat &status);
    std::shared_ptr<const ProfileFormat::Profile> parse(QByteArray bytes);

    Clock m_now;
    mutable QMutex m_mutex;
    QString m_path;
    Stamp m_stamp;
    bool m_settled = false; // the stamp alone shows the bytes unchanged
    std::shared_ptr<const ProfileFormat::Profile> m_profile;
    quint64 m_parses = 0;
};
