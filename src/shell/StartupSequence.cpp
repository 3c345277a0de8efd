// SPDX-License-Identifier: MIT
#include "shell/StartupSequence.h"

#include "common/ProcessValues.h"
#include "crypto/MasterKey.h"
#include "platform/SingleInstance.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include <QDir>

bool RunStartupSequence(SingleInstance &instance, UserDialogs &dialogs, const SettingsFile &settings,
                        ProcessValues &values) {
    if (!instance.acquire()) {
        dialogs.message(QStringLiteral("软件已经运行，不能再次装载。"), QStringLiteral("警告"),
                        MessageIcon::Warning);
        return false;
    }
    QDir().mkpath(settings.AppFolder() + QStringLiteral("plugin"));
    if (!settings.exists()) {
        writeDefaultSettings(settings);
        values.UserPassword.clear();
        values.ShutdownTime.clear();
    } else {
        values.UserPassword = settings.ReadSetting(QStringLiteral("USERINFO"), QStringLiteral("U_pass"));
        values.ShutdownTime = settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_shutdown"));
    }
    values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
    return true;
}
