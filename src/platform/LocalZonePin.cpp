// SPDX-License-Identifier: MIT
#include "platform/LocalZonePin.h"

#include <QtGlobal>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

bool LocalZonePin::Identity::operator==(const Identity &other) const {
    return name == other.name && device == other.device && inode == other.inode &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

LocalZonePin::LocalZonePin(QByteArray zoneLink)
    : m_zoneLink(std::move(zoneLink)) {
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    m_seen = look();
    if (m_seen.name.isEmpty())
        return;
    qputenv("TZ", ':' + m_seen.name);
    tzset();
    m_pinned = true;
}

LocalZonePin::Identity LocalZonePin::look() const {
    Identity identity;
    char target[4096];
    const ssize_t length = ::readlink(m_zoneLink.constData(), target, sizeof target - 1);
    if (length <= 0)
        return identity;
    const QByteArray link(target, int(length));
    const QByteArray tree = QByteArrayLiteral("zoneinfo/");
    const int at = link.lastIndexOf(tree);
    if (at < 0)
        return identity;
    QByteArray name = link.mid(at + tree.size());
    if (name.startsWith("posix/") || name.startsWith("right/"))
        name = name.mid(6);
    struct stat status {};
    if (name.isEmpty() || ::stat(m_zoneLink.constData(), &status) != 0)
        return identity;
    identity.name = name;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.modified = status.st_mtim;
    return identity;
}

bool LocalZonePin::follow() {
    if (!m_pinned)
        return false;
    const Identity now = look();
    if (now == m_seen)
        return false;
    m_seen = now;
    // Without TZ the C library reads the system's file afresh; the pin then
    // names the new zone (or stays off while the link names none).
    qunsetenv("TZ");
    tzset();
    if (!now.name.isEmpty()) {
        qputenv("TZ", ':' + now.name);
        tzset();
    }
    return true;
}
