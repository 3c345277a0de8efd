// SPDX-License-Identifier: MIT
#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {
constexpr int kAnswerTimeoutMs = 2000;
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
} // namespace

SingleInstance::SingleInstance(const QString &appFolder, QObject *parent)
    : QObject(parent)
    , m_appFolder(appFolder)
    , m_lock(appFolder + QStringLiteral(".tackora.lock")) {
    // The lock is held for the whole run; age alone never makes it stale, only
    // a holder process that is gone.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

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

void SingleInstance::listen() {
    const QString path = channelPath(m_appFolder);
    // Holding the lock, we are the only copy: a socket left there is a dead
    // copy's.
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        // Without the channel the program runs as ever; a second copy only warns.
        delete m_server;
        m_server = nullptr;
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            readRequest(socket);
        }
    });
}

void SingleInstance::readRequest(QLocalSocket *socket) {
    if (!socket->canReadLine())
        return;
    const bool show = socket->readLine() == kShowRequest;
    socket->disconnectFromServer();
    if (show)
        Q_EMIT showRequested();
}

bool SingleInstance::askRunningCopyToShow() {
    QLocalSocket socket;
    socket.connectToServer(channelPath(m_appFolder));
    if (!socket.waitForConnected(kAnswerTimeoutMs))
        return false;
    // Written is told: the running copy reads it from its queue whenever its
    // event loop comes round, also after we have gone.
    socket.write(kShowRequest);
    return socket.waitForBytesWritten(kAnswerTimeoutMs);
}
