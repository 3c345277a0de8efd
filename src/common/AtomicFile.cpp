// SPDX-License-Identifier: MIT
#include "common/AtomicFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString describe(const char *step, const QString &path, int error) {
    return QStringLiteral("%1 %2: %3")
        .arg(QString::fromLatin1(step), path, QString::fromLocal8Bit(std::strerror(error)));
}

bool writeAll(int fd, QByteArrayView data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t written = ::write(fd, data.data() + done, size_t(data.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

// Plain POSIX calls: this runs for every single setting the program stores,
// and the fewer calls the cheaper the replace (QSaveFile costs twice as much).
bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        if (error)
            *error = describe("cannot create a temporary file beside", path, errno);
        return false;
    }
    // The new file keeps the old one's permissions; a file made anew stays
    // readable by its owner alone (mkstemp's 0600), since setup.ini holds the
    // user password.
    struct stat old = {};
    if (::stat(target.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    const bool written = writeAll(fd, data);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        if (error)
            *error = describe("cannot write", path, written ? errno : writeError);
        return false;
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.constData());
        if (error)
            *error = describe("cannot replace", path, renameError);
        return false;
    }
    return true;
}
