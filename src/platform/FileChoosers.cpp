// SPDX-License-Identifier: MIT
#include "platform/FileChoosers.h"

#include "common/FolderPath.h"

#include <QDir>
#include <QStringList>

namespace ChooserText {

QString filterCaption(const QString &pattern, const QString &description) {
    if (pattern.isEmpty())
        return QStringLiteral("数据库文件(*.mdb)");
    return description + u'(' + pattern + u')';
}

QStringList filterPatterns(const QString &pattern) {
    const QString effective = pattern.isEmpty() ? QStringLiteral("*.mdb") : pattern;
    QStringList patterns;
    for (const QString &part : effective.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            patterns.append(trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
    }
    return patterns;
}

QString withTrailingSeparator(const QString &path) {
    return path.isEmpty() ? path : ::withTrailingSeparator(path);
}

} // namespace ChooserText
