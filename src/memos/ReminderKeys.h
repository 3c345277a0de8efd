// SPDX-License-Identifier: MIT
#pragma once

#include "memos/MissedReminders.h"

#include <QDateTime>
#include <QString>

class SettingsFile;

/// The keys this build adds to section MEMO of setup.ini, beside the memo
/// records it never changes (the Windows build ignores keys it does not know):
///   M_lastseen  the last second the reminder check saw, "yyyy-MM-dd hh:mm:ss"
///   M_snooze    the pending "稍后提醒", "n|yyyy-MM-dd hh:mm:ss" joined by ";"
/// Both in local time.
namespace ReminderKeys {

inline const QString kSection = QStringLiteral("MEMO");
inline const QString kLastSeen = QStringLiteral("M_lastseen");
inline const QString kSnooze = QStringLiteral("M_snooze");

QString formatMoment(const QDateTime &moment);
/// Invalid for anything but "yyyy-MM-dd hh:mm:ss".
QDateTime parseMoment(const QString &text);

QString formatSnoozes(const MemoSnoozes &snoozes);
/// Entries that do not read as a memo number and a moment are dropped.
MemoSnoozes parseSnoozes(const QString &text);

QDateTime readLastSeen(const SettingsFile &settings);
MemoSnoozes readSnoozes(const SettingsFile &settings);
/// False when the value could not be stored; error names the step.
bool writeLastSeen(const SettingsFile &settings, const QDateTime &moment, QString *error = nullptr);
bool writeSnoozes(const SettingsFile &settings, const MemoSnoozes &snoozes, QString *error = nullptr);

} // namespace ReminderKeys

/// Keeps M_lastseen: written at most once a minute while the program runs,
/// and whenever asked at once (the end of the run, a coming sleep), so the
/// settings file is not rewritten every second.
class LastSeenWriter final {
public:
    explicit LastSeenWriter(const SettingsFile &settings);

    /// The value the file holds already, so the first write waits its minute.
    void setStored(const QDateTime &moment) { m_stored = moment; }
    /// Stores moment when a minute has passed since the last write (or the
    /// first moment seen, when the file held none), or the clock went back.
    /// False when a write was due and failed.
    bool seen(const QDateTime &moment, QString *error = nullptr);
    /// Stores moment now.
    bool store(const QDateTime &moment, QString *error = nullptr);

private:
    const SettingsFile &m_settings;
    QDateTime m_stored;
};
