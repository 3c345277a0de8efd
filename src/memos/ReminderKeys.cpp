// SPDX-License-Identifier: MIT
#include "memos/ReminderKeys.h"

#include "settings/SettingsFile.h"

namespace {
const QString kMomentFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr qint64 kWriteEverySeconds = 60;
} // namespace

namespace ReminderKeys {

QString formatMoment(const QDateTime &moment) {
    return moment.isValid() ? moment.toString(kMomentFormat) : QString();
}

QDateTime parseMoment(const QString &text) {
    const QDateTime moment = QDateTime::fromString(text.trimmed(), kMomentFormat);
    // fromString is lenient about some widths: only the exact form counts.
    return moment.isValid() && moment.toString(kMomentFormat) == text.trimmed() ? moment : QDateTime();
}

QString formatSnoozes(const MemoSnoozes &snoozes) {
    QStringList entries;
    for (int n = 0; n < kMemoCount; ++n) {
        if (snoozes[n].isValid())
            entries.append(QString::number(n) + u'|' + formatMoment(snoozes[n]));
    }
    return entries.join(u';');
}

MemoSnoozes parseSnoozes(const QString &text) {
    MemoSnoozes snoozes;
    for (const QString &entry : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList pieces = entry.split(u'|');
        if (pieces.size() != 2)
            continue;
        bool ok = false;
        const int number = pieces[0].trimmed().toInt(&ok);
        const QDateTime moment = parseMoment(pieces[1]);
        if (ok && number >= 0 && number < kMemoCount && moment.isValid())
            snoozes[number] = moment;
    }
    return snoozes;
}

QDateTime readLastSeen(const SettingsFile &settings) {
    return parseMoment(settings.ReadSetting(kSection, kLastSeen));
}

MemoSnoozes readSnoozes(const SettingsFile &settings) {
    return parseSnoozes(settings.ReadSetting(kSection, kSnooze));
}

bool writeLastSeen(const SettingsFile &settings, const QDateTime &moment, QString *error) {
    return settings.WriteSetting(kSection, kLastSeen, formatMoment(moment), error);
}

bool writeSnoozes(const SettingsFile &settings, const MemoSnoozes &snoozes, QString *error) {
    return settings.WriteSetting(kSection, kSnooze, formatSnoozes(snoozes), error);
}

} // namespace ReminderKeys

LastSeenWriter::LastSeenWriter(const SettingsFile &settings)
    : m_settings(settings) {}

bool LastSeenWriter::seen(const QDateTime &moment, QString *error) {
    if (!moment.isValid())
        return true;
    if (!m_stored.isValid()) {
        // A first run's first minute goes unwritten: a fresh file is not
        // rewritten the moment the program starts.
        m_stored = moment;
        return true;
    }
    if (moment >= m_stored && m_stored.secsTo(moment) < kWriteEverySeconds)
        return true;
    return store(moment, error);
}

bool LastSeenWriter::store(const QDateTime &moment, QString *error) {
    if (!moment.isValid())
        return true;
    // A failed write is tried again a minute later, not at every tick.
    m_stored = moment;
    return ReminderKeys::writeLastSeen(m_settings, moment, error);
}
