// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

/// jm.log in the program folder: one GBK line, ended by CR LF, per file the
/// safe encrypted or decrypted. Every record holds the sealed security key,
/// which the program's built-in master key opens: the log is its owner's alone
/// (0600).
namespace SafeLog {

QString path(const QString &appFolder);

/// "[加密]" or "[解密]", the time stamp, source, target and the stored
/// security key, separated by commas.
QString record(bool encrypted, const QDateTime &when, const QString &source, const QString &target,
               const QString &securityKey);

/// The short date, a blank and the long time: "2026/12/10 9:05:07".
QString timeStamp(const QDateTime &when);

/// Appends one record whole or not at all (a full disk leaves the log as it
/// was), and takes group and world access off the log. False when the record
/// is not in the log; error (when given) then names the failed step.
bool append(const QString &appFolder, const QString &record, QString *error = nullptr);

/// The whole log as text, empty when there is none.
QString read(const QString &appFolder);

} // namespace SafeLog
