// SPDX-License-Identifier: MIT
#include "shell/StartupSequence.h"

#include "common/ProcessValues.h"
#include "crypto/MasterKey.h"
#include "platform/SingleInstance.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include <QDir>

namespace {

// What a setup.ini saved in another encoding than GBK does to its values.
QString encodingNotice(const SettingsFile &settings) {
    using Kind = ProfileEncoding::Finding::Kind;
    const ProfileEncoding::Finding found = settings.examineEncoding();
    QString what;
    switch (found.kind) {
    case Kind::None:
        return {};
    case Kind::Bom:
        what = QStringLiteral("第%1行开头有 UTF-8 的 BOM 标记，文件是按 UTF-8 保存的");
        break;
    case Kind::LooksUtf8:
        what = QStringLiteral("从第%1行起看来是按 UTF-8 保存的");
        break;
    case Kind::NotGbk:
        what = QStringLiteral("第%1行有不能按 GBK 读取的字节");
        break;
    }
    return QStringLiteral("设置文件 %1 ").arg(settings.path()) + what.arg(found.line) +
           QStringLiteral("。本软件按 GBK 编码读写它，其中的中文会读错。\r\n"
                          "请用文本编辑器把它另存为 GBK 编码。在此之前，读不出的值不会被改写。");
}

} // namespace

bool RunStartupSequence(SingleInstance &instance, UserDialogs &dialogs, const SettingsFile &settings,
                        ProcessValues &values) {
    if (!instance.acquire()) {
        // The running copy shows its board: a user who lost it starts the program again.
        instance.askRunningCopyToShow();
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
        if (const QString notice = encodingNotice(settings); !notice.isEmpty())
            dialogs.message(notice, QStringLiteral("提示"), MessageIcon::Warning);
        values.UserPassword = settings.ReadSetting(QStringLiteral("USERINFO"), QStringLiteral("U_pass"));
        values.ShutdownTime = settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_shutdown"));
    }
    values.MasterKey = BuildMasterKey(masterKeyBaseText(), masterKeyKeyText());
    return true;
}
