// SPDX-License-Identifier: MIT
#include "platform/SingleInstance.h"

SingleInstance::SingleInstance(const QString &appFolder)
    : m_lock(appFolder + QStringLiteral(".tackora.lock")) {
    // The lock is held for the whole run; age alone never makes it stale, only
    // a holder process that is gone.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (m_lock.tryLock(0))
        return true;
    // tryLock already removes a lock whose process is gone; an unreadable or
    // unwritable folder gives no lock at all, and then we do not stop the
    // program: a second copy in a read-only folder can do no harm there.
    return m_lock.error() != QLockFile::LockFailedError;
}
