// SPDX-License-Identifier: MIT
#include "common/AtomicFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error =
                QStringLiteral("cannot create a temporary file beside %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.write(data.data(), data.size()) != data.size()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("cannot replace %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
