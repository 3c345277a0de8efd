// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

/// The board's transparency levels as setup.ini stores them (F_transparent):
/// "a" slight, "b" half, "c" full (white see-through).
namespace Transparency {
/// 0, 1 or 2 for "a", "b" or "c"; -1 for any other code.
inline int levelOf(const QString &code) {
    if (code == u'a')
        return 0;
    if (code == u'b')
        return 1;
    if (code == u'c')
        return 2;
    return -1;
}
/// The code of level 0..2.
inline QString codeOf(int level) {
    return QString(QChar(u'a' + qBound(0, level, 2)));
}
} // namespace Transparency
