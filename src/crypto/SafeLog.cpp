// SPDX-License-Identifier: MIT
#include "crypto/SafeLog.h"

#include "common/AnsiCodec.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeLog {

QString path(const QString &appFolder) {
    return appFolder + QStringLiteral("jm.log");
}

QString timeStamp(const QDateTime &when) {
    return when.toString(QStringLiteral("yyyy/M/d H:mm:ss"));
}

QString record(bool encrypted, const QDateTime &when, const QString &source, const QString &target,
               const QString &securityKey) {
    return (encrypted ? QStringLiteral("[加密]") : QStringLiteral("[解密]")) + timeStamp(when) + u',' +
           source + u',' + target + u',' + securityKey;
}

bool append(const QString &appFolder, const QString &record, QString *error) {
    const QString logPath = path(appFolder);
    const auto fail = [&](const char *step) {
        if (error)
            *error = QStringLiteral("%1 %2：%3")
                         .arg(QString::fromUtf8(step), logPath, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    QString line = record;
    // A path with a line break must not split the record.
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray bytes = AnsiCodec::encode(line) + "\r\n";

    const int fd =
        ::open(QFile::encodeName(logPath).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return fail("无法打开");
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || ((info.st_mode & 077) != 0 && ::fchmod(fd, info.st_mode & 0700) != 0)) {
        const int why = errno;
        ::close(fd);
        errno = why;
        return fail("无法设为仅本人可读");
    }
    // One write of the whole record: a short one (a full disk) is taken back,
    // or the next record would join the torn one.
    ssize_t written = -1;
    do {
        written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    if (written != bytes.size()) {
        int why = written < 0 ? errno : ENOSPC;
        const char *step = "无法完整写入";
        if (written > 0 && ::ftruncate(fd, info.st_size) != 0) {
            why = errno;
            step = "无法去掉写了一半的记录";
        }
        ::close(fd);
        errno = why;
        return fail(step);
    }
    if (::close(fd) != 0)
        return fail("无法写入");
    return true;
}

QString read(const QString &appFolder) {
    QFile log(path(appFolder));
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    return AnsiCodec::decode(log.readAll());
}

} // namespace SafeLog
