// SPDX-License-Identifier: MIT
#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");

// A datagram socket's address; nothing when the path does not fit.
bool socketAddress(const QString &path, sockaddr_un &address) {
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}
} // namespace

SingleInstance::SingleInstance(const QString &appFolder, QObject *parent)
    : QObject(parent)
    , m_appFolder(appFolder)
    , m_lock(appFolder + QStringLiteral(".tackora.lock")) {
    // The lock is held for the whole run; age alone never makes it stale, only
    // a holder process that is gone.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (m_socket < 0)
        return;
    delete m_notifier;
    ::close(m_socket);
    ::unlink(QFile::encodeName(channelPath(m_appFolder)).constData());
}

bool SingleInstance::acquire() {
    if (m_lock.tryLock(0)) {
        listen();
        return true;
    }
    // tryLock already removes a lock whose process is gone; an unreadable or
    // unwritable folder gives no lock at all, and then we do not stop the
    // program: a second copy in a read-only folder can do no harm there.
    return m_lock.error() != QLockFile::LockFailedError;
}

QString SingleInstance::channelPath(const QString &appFolder) {
    QString folder = QFileInfo(appFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir(appFolder).absolutePath();
    // The user's id too: a folder shared by two users is two runs.
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(folder) + '\0' +
                                                           QByteArray::number(qulonglong(::getuid())),
                                                       QCryptographicHash::Sha1)
                                  .toHex()
                                  .left(16);
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/tackora-") +
           QString::fromLatin1(digest) + QStringLiteral(".sock");
}

// One datagram a request: the board needs no conversation, and a plain
// socket spares the program Qt's network library at every start.
void SingleInstance::listen() {
    sockaddr_un address;
    const QString path = channelPath(m_appFolder);
    if (!socketAddress(path, address))
        return; // without the channel the program runs as ever; a second copy only warns
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    // Holding the lock, we are the only copy: a socket left there is a dead
    // copy's.
    ::unlink(address.sun_path);
    // Only this user may ask.
    const mode_t oldMask = ::umask(0077);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound) {
        ::close(fd);
        return;
    }
    m_socket = fd;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::readRequests);
}

void SingleInstance::readRequests() {
    char buffer[64];
    for (;;) {
        const ssize_t got = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (got < 0)
            return; // drained (EAGAIN) or nothing more to read
        if (QByteArray(buffer, qsizetype(got)) == kShowRequest)
            Q_EMIT showRequested();
    }
}

bool SingleInstance::askRunningCopyToShow() {
    sockaddr_un address;
    if (!socketAddress(channelPath(m_appFolder), address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // Sent is told: the running copy reads it from its queue whenever its
    // event loop comes round, also after we have gone. A socket nobody holds
    // refuses.
    ssize_t sent;
    do {
        sent = ::sendto(fd, kShowRequest.constData(), size_t(kShowRequest.size()), MSG_NOSIGNAL,
                        reinterpret_cast<const sockaddr *>(&address), sizeof address);
    } while (sent < 0 && errno == EINTR);
    ::close(fd);
    return sent == kShowRequest.size();
}
