// SPDX-License-Identifier: MIT
#pragma once

#include <QLockFile>
#include <QString>

/// One running copy per program folder: a lock file in the folder, held for
/// the whole run. A lock left behind by a copy that died is taken over.
class SingleInstance final {
public:
    explicit SingleInstance(const QString &appFolder);

    /// True when this process now holds the lock; false when another running
    /// copy holds it.
    bool acquire();

private:
    QLockFile m_lock;
};
