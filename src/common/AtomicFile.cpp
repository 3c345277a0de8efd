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

AtomicFileWriter::AtomicFileWriter(QString path)
    : m_path(std::move(path)) {}

AtomicFileWriter::~AtomicFileWriter() {
    cancel();
}

// Plain POSIX calls: this runs for every single setting the program stores,
// and the fewer calls the cheaper the replace (QSaveFile costs twice as much).
bool AtomicFileWriter::open() {
    const QByteArray target = QFile::encodeName(m_path);
    m_temporary = target + ".XXXXXX";
    m_fd = ::mkstemp(m_temporary.data());
    if (m_fd < 0) {
        m_error = describe("cannot create a temporary file beside", m_path, errno);
        m_temporary.clear();
        return false;
    }
    // The new file keeps the old one's permissions; a file made anew stays
    // readable by its owner alone (mkstemp's 0600), since setup.ini holds the
    // user password and the safe's files are private.
    struct stat old = {};
    if (::stat(target.constData(), &old) == 0)
        ::fchmod(m_fd, old.st_mode & 07777);
    return true;
}

bool AtomicFileWriter::write(QByteArrayView data) {
    if (m_fd < 0)
        return false;
    if (!writeAll(m_fd, data)) {
        m_error = describe("cannot write", m_path, errno);
        return false;
    }
    return true;
}

bool AtomicFileWriter::commit() {
    if (m_fd < 0)
        return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        m_error = describe("cannot write", m_path, errno);
        ::unlink(m_temporary.constData());
        m_temporary.clear();
        return false;
    }
    if (::rename(m_temporary.constData(), QFile::encodeName(m_path).constData()) != 0) {
        m_error = describe("cannot replace", m_path, errno);
        ::unlink(m_temporary.constData());
        m_temporary.clear();
        return false;
    }
    m_temporary.clear();
    return true;
}

void AtomicFileWriter::cancel() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
}

bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error) {
    AtomicFileWriter writer(path);
    const bool ok = writer.open() && writer.write(data) && writer.commit();
    if (!ok && error)
        *error = writer.errorString();
    return ok;
}
