// SPDX-License-Identifier: MIT
#include "crypto/SafeKeyPrompt.h"

#include "common/ProcessValues.h"
#include "crypto/SecurityKey.h"
#include "platform/UserDialogs.h"

SafeKeyOutcome AskSafeKey(UserDialogs &dialogs, const SettingsFile &settings, ProcessValues &values,
                          SafeKeyAsker asker) {
    const QString typed =
        askTrimmed(dialogs, QStringLiteral("请输入安全密匙："), QStringLiteral("【文件保险柜】"));
    if (typed.isEmpty())
        return SafeKeyOutcome::Cancelled;
    const QString stored = storedSecurityKey(settings);
    switch (VerifyStoredSecurityKey(stored, values.MasterKey, typed)) {
    case 0:
        values.SecurityKey = stored;
        return SafeKeyOutcome::OpenSafe;
    case 1:
        dialogs.message(asker == SafeKeyAsker::Menu
                            ? QStringLiteral("尚未设置过安全密匙或其他未知错误！请重新设置安全密匙！")
                            : QStringLiteral("尚未设置过安全密匙或其他未知错误！请重新设置密匙！"),
                        QStringLiteral("提示"), MessageIcon::Warning);
        return SafeKeyOutcome::OpenSettings;
    default:
        dialogs.message(QStringLiteral("您输入的安全密匙不正确！不能使用文件保险柜！"),
                        QStringLiteral("警告"), MessageIcon::Critical);
        return SafeKeyOutcome::WrongKey;
    }
}
