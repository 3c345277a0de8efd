// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

/// A small tmpfs (1 MiB unless told) mounted over a folder for the life of
/// the object, to see what a full disk does. Mounting needs CAP_SYS_ADMIN:
/// without it the test skips, naming why (mounted() is false and why() says so).
class SmallTmpfs final {
public:
    explicit SmallTmpfs(const QString &folder, const char *options = "size=1m")
        : m_folder(QFile::encodeName(folder)) {
        QDir().mkpath(folder);
        if (::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options) == 0)
            m_mounted = true;
        else
            m_why = QByteArray("cannot mount a small tmpfs to fill (needs CAP_SYS_ADMIN): ") +
                    std::strerror(errno);
    }
    ~SmallTmpfs() {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool mounted() const { return m_mounted; }
    const char *why() const { return m_why.constData(); }

    /// Takes every free page: afterwards only what is left in the last page
    /// of a file can still be written.
    bool fill() const {
        const QByteArray filler = m_folder + "/filler";
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray chunk(4096, 'f');
        while (::write(fd, chunk.constData(), size_t(chunk.size())) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }

    /// Bytes that make a file end that many bytes short of a page boundary.
    static QByteArray shortOfAPage(qsizetype free) {
        return QByteArray(::sysconf(_SC_PAGESIZE) - free - 2, 'x') + "\r\n";
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    QByteArray m_why;
};
