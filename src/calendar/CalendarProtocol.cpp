// SPDX-License-Identifier: MIT
#include "calendar/CalendarProtocol.h"

namespace CalendarProtocol {

QByteArray line(const QByteArray &verb, const QByteArray &argument) {
    return argument.isEmpty() ? verb + '\n' : verb + ' ' + argument + '\n';
}

QByteArray pathArgument(const QString &path) {
    return path.toUtf8().toPercentEncoding("/");
}

QString pathFrom(const QByteArray &argument) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(argument));
}

QByteArray rectArgument(const QRect &rect) {
    return QByteArray::number(rect.x()) + ' ' + QByteArray::number(rect.y()) + ' ' +
           QByteArray::number(rect.width()) + ' ' + QByteArray::number(rect.height());
}

std::optional<QRect> rectFrom(const QByteArray &argument) {
    const QList<QByteArray> parts = argument.split(' ');
    if (parts.size() != 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

std::optional<int> levelFrom(const QByteArray &argument) {
    bool ok = false;
    const int level = argument.toInt(&ok);
    if (!ok || level < -1 || level > 2)
        return std::nullopt;
    return level;
}

QList<Message> LineBuffer::append(const QByteArray &bytes) {
    m_pending += bytes;
    QList<Message> messages;
    qsizetype start = 0;
    for (qsizetype end; (end = m_pending.indexOf('\n', start)) >= 0; start = end + 1) {
        const QByteArray whole = m_pending.mid(start, end - start);
        const qsizetype blank = whole.indexOf(' ');
        if (blank < 0)
            messages.append({whole, QByteArray()});
        else
            messages.append({whole.left(blank), whole.mid(blank + 1)});
    }
    m_pending.remove(0, start);
    return messages;
}

} // namespace CalendarProtocol
