// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <ctime>

/// While TZ is unset, the C library looks at the system's zone file again on
/// every local-time conversion: a clock that converts a few times a second
/// stats /etc/localtime twenty times a second. Setting TZ to the zone that
/// file names stops the lookups; `follow()`, called now and then, still picks
/// up a change of the system's zone. TZ then holds a plain zone name such as
/// "Asia/Shanghai", which the programs the board starts understand as well.
class LocalZonePin final {
public:
    /// Pins TZ when it is unset and zoneLink is a link into a zoneinfo tree; a
    /// zone the user chose, or a zone file that is a copy, is left alone.
    /// Call it before any other thread starts.
    explicit LocalZonePin(QByteArray zoneLink = QByteArrayLiteral("/etc/localtime"));

    bool pinned() const { return m_pinned; }
    /// The zone name TZ was set to ("Asia/Shanghai"), or empty.
    QByteArray zoneName() const { return m_pinned ? m_seen.name : QByteArray(); }

    /// Takes up a changed link or changed zone data; true when it did.
    bool follow();

private:
    struct Identity {
        QByteArray name;
        dev_t device = 0;
        ino_t inode = 0;
        timespec modified{};
        bool operator==(const Identity &other) const;
    };
    Identity look() const;

    QByteArray m_zoneLink;
    Identity m_seen;
    bool m_pinned = false;
};
