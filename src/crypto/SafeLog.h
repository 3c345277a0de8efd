// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QString>

/// jm.log in the program folder: one GBK line, ended by CR LF, per file the
/// safe encrypted or decrypted.
namespace SafeLog {

QString path(const QString &appFolder);

/// "[加密]" or "[解密]", the time stamp, source, target and the stored
/// security key, separated by commas.
QString record(bool encrypted, const QDateTime &when, const QString &source, const QString &target,
               const QString &securityKey);

/// The short date, a blank and the long time: "2026/12/10 9:05:07".
QString timeStamp(const QDateTime &when);

/// Appends one record; false when the log cannot be written.
bool append(const QString &appFolder, const QString &record);

/// The whole log as text, empty when there is none.
QString read(const QString &appFolder);

} // namespace SafeLog
