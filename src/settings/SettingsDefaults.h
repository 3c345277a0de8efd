// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

class SettingsFile;

/// One value of the first-start settings.
struct DefaultSetting {
    QString section;
    QString key;
    QString value;
};

/// Every key of setup.ini with its first-start value, in the order the first
/// start writes them (section SYSTEM, FILEBOX, USERINFO, MEMO).
QList<DefaultSetting> defaultSettings(const QString &appFolder);

/// Writes every default, one WriteSetting each, in order. Returns false when
/// any write failed; the writes after it are still tried.
bool writeDefaultSettings(const SettingsFile &settings);

/// The record of memo number (0 to 8) written at first start.
QString defaultMemoRecord(int number);
