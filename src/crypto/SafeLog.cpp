// SPDX-License-Identifier: MIT
#include "crypto/SafeLog.h"

#include "common/AnsiCodec.h"

#include <QFile>

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

bool append(const QString &appFolder, const QString &record) {
    QFile log(path(appFolder));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QString line = record;
    // A path with a line break must not split the record.
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray bytes = AnsiCodec::encode(line) + "\r\n";
    return log.write(bytes) == bytes.size() && log.flush();
}

QString read(const QString &appFolder) {
    QFile log(path(appFolder));
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    return AnsiCodec::decode(log.readAll());
}

} // namespace SafeLog
