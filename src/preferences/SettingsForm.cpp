// SPDX-License-Identifier: MIT
#include "preferences/SettingsForm.h"

#include "common/InstallLayout.h"
#include "common/ProcessValues.h"
#include "common/Transparency.h"
#include "common/WebPages.h"
#include "platform/Autorun.h"
#include "platform/FileChoosers.h"
#include "platform/ShellOpener.h"
#include "platform/UserDialogs.h"
#include "settings/SettingRules.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString kSystem = QStringLiteral("SYSTEM");
const QString kFileBox = QStringLiteral("FILEBOX");
const QString kUser = QStringLiteral("USERINFO");
const QString kHint = QStringLiteral("提示");
const QString kSaved = QStringLiteral("配置已保存，即刻生效！");
} // namespace

// A frame's writes, keeping what failed for the one message that says so.
class SettingsForm::Writes final {
public:
    explicit Writes(const SettingsFile &settings)
        : m_settings(settings) {}
    void write(const QString &section, const QString &key, const QString &value) {
        QString error;
        if (!m_settings.WriteSetting(section, key, value, &error))
            m_errors.append(error);
    }
    /// The saved message, or which values were not stored.
    bool tell(UserDialogs &dialogs, const QString &saved, const QString &title) const {
        if (m_errors.isEmpty()) {
            dialogs.message(saved, title, MessageIcon::Information);
            return true;
        }
        dialogs.message(QStringLiteral("配置未能全部保存：\r\n") + m_errors.join(QStringLiteral("\r\n")),
                        kHint, MessageIcon::Warning);
        return false;
    }
    bool failed() const { return !m_errors.isEmpty(); }

private:
    const SettingsFile &m_settings;
    QStringList m_errors;
};

SettingsForm::SettingsForm(const SettingsFile &settings, ProcessValues &values, UserDialogs &dialogs,
                           FileChoosers &choosers, ShellOpener &shell, Autorun &autorun,
                           SettingsEffects &effects)
    : m_settings(settings)
    , m_values(values)
    , m_dialogs(dialogs)
    , m_choosers(choosers)
    , m_shell(shell)
    , m_autorun(autorun)
    , m_effects(effects) {}

QString SettingsForm::noFolderNotice() {
    return QStringLiteral("尚未设置资料盒子存储路径，请点击[选择]设置 !");
}

QString SettingsForm::wrongFolderNotice() {
    return QStringLiteral("资料盒子存储路径错误！请点击[选择]设置 !");
}

QStringList SettingsForm::linkAddresses() {
    return {WebPages::home(), WebPages::update(), WebPages::games()};
}

void SettingsForm::FillFromSettings() {
    transparency =
        qMax(0, Transparency::levelOf(m_settings.ReadSetting(kSystem, QStringLiteral("F_transparent"))));
    runAtLogon = m_settings.ReadSetting(kSystem, QStringLiteral("S_run")) == u'y';
    // A time armed from the program menu stays until this frame is saved.
    shutdownText = m_settings.ReadSetting(kSystem, QStringLiteral("S_shutdown"));
    userName = m_settings.ReadSetting(kUser, QStringLiteral("U_name"));
    m_values.UserPassword = m_settings.ReadSetting(kUser, QStringLiteral("U_pass"));
    passwordText.clear();

    const QString root = m_settings.ReadSetting(kFileBox, QStringLiteral("FB_path"));
    if (root.isEmpty())
        fileBoxPath = noFolderNotice();
    else
        fileBoxPath = QFileInfo(root).isDir() ? root : wrongFolderNotice();

    labels.fill(QString());
    const QString list = m_settings.ReadSetting(kFileBox, QStringLiteral("FB_list"));
    if (list.isEmpty())
        return;
    const QStringList pieces = list.split(u'|');
    for (int i = 0; i < 9 && i < pieces.size(); ++i) {
        if (!pieces[i].isEmpty())
            labels[i] = TrimAtNul(pieces[i]).left(4);
    }
}

bool SettingsForm::isShutdownTimeCharacter(QChar c) {
    return c == QChar(8) || c == QChar(13) || QStringLiteral("1234567890:").contains(c);
}

bool SettingsForm::saveSystem() {
    if (!shutdownText.isEmpty() && !SettingRules::isClockTime(shutdownText)) {
        m_dialogs.message(QStringLiteral("自动关机时间格式有误！请重填（正确为24小时制，例子：17:30:00）"),
                          kHint, MessageIcon::Warning);
        return false;
    }
    m_values.ShutdownTime = shutdownText;
    Writes writes(m_settings);
    writes.write(kSystem, QStringLiteral("S_shutdown"), shutdownText);
    const QString autorunError = runAtLogon ? m_autorun.RegisterAutorun() : m_autorun.UnregisterAutorun();
    writes.write(kSystem, QStringLiteral("S_run"), runAtLogon ? QStringLiteral("y") : QStringLiteral("n"));
    const int level = qBound(0, transparency, 2);
    m_effects.transparencyChosen(level);
    writes.write(kSystem, QStringLiteral("F_transparent"), Transparency::codeOf(level));
    if (!autorunError.isEmpty()) {
        // Confirming a log-on start that will not happen would mislead.
        m_dialogs.message(QStringLiteral("无法写入系统自动启动项，软件随系统启动的设置未能生效！\r\n") +
                              autorunError,
                          kHint, MessageIcon::Warning);
    }
    return writes.tell(m_dialogs, kSaved, kHint);
}

void SettingsForm::chooseFileBoxFolder(QWidget *owner) {
    const QString folder =
        m_choosers.BrowseForFolder(owner, QStringLiteral("请选择设定存储资料盒子文件的路径"), QString());
    if (!folder.isEmpty())
        fileBoxPath = folder;
}

void SettingsForm::clearBackground() {
    Writes writes(m_settings);
    writes.write(kFileBox, QStringLiteral("FB_pic"), QString());
    writes.tell(m_dialogs, QStringLiteral("资料盒子背景图片清除成功，重启软件后生效！"), kHint);
}

bool SettingsForm::saveFileBox() {
    // The notices are not paths: saving one would make a folder of that name.
    const bool pathMissing = fileBoxPath.isEmpty() || fileBoxPath == noFolderNotice() ||
                             fileBoxPath == wrongFolderNotice() || !QDir::isAbsolutePath(fileBoxPath);
    if (pathMissing ||
        std::any_of(labels.begin(), labels.end(), [](const QString &l) { return l.isEmpty(); })) {
        m_dialogs.message(QStringLiteral("路径或是标签内容未填完整，请重试！"), QString(), MessageIcon::None);
        return false;
    }
    if (!std::all_of(labels.begin(), labels.end(), SettingRules::isFolderCaption)) {
        m_dialogs.message(QStringLiteral("分类标签不能含有“|”、“/”或“\\”，也不能是“.”或“..”，请重新输入！"),
                          kHint, MessageIcon::Warning);
        return false;
    }
    if (!QFileInfo(fileBoxPath).isDir())
        QDir().mkdir(fileBoxPath); // one level; a missing parent fails quietly
    Writes writes(m_settings);
    writes.write(kFileBox, QStringLiteral("FB_path"), fileBoxPath);
    const QString base = withTrailingSeparator(fileBoxPath);
    std::array<QString, 9> folders;
    QStringList list;
    for (int i = 0; i < 9; ++i) {
        const QString folder = base + labels[i];
        if (!QFileInfo(folder).isDir())
            QDir().mkdir(folder);
        folders[i] = folder + QDir::separator();
        list.append(labels[i]);
    }
    writes.write(kFileBox, QStringLiteral("FB_list"), list.join(u'|'));
    // The board shows what the file holds.
    if (!writes.failed())
        m_effects.fileBoxSaved(fileBoxPath, labels, folders);
    return writes.tell(m_dialogs, kSaved, kHint);
}

bool SettingsForm::saveUser() {
    if (!m_values.UserPassword.isEmpty()) {
        const QString answer =
            askTrimmed(m_dialogs, QStringLiteral("设置用户新密码前，请先输入旧的用户使用密码："),
                       QStringLiteral("【设置密码】"));
        if (answer != m_values.UserPassword) {
            m_dialogs.message(QStringLiteral("用户原密码不正确！您不能重新设置新密码！"),
                              QStringLiteral("安全警告"), MessageIcon::Critical);
            return false;
        }
    }
    if (userName.isEmpty()) {
        m_dialogs.message(QStringLiteral("用户名不能为空，请重新输入！"), kHint, MessageIcon::Warning);
        return false;
    }
    const QString name = trimBlanks(userName);
    m_effects.userNameSaved(name);
    Writes writes(m_settings);
    writes.write(kUser, QStringLiteral("U_name"), name);
    m_values.UserPassword = trimBlanks(passwordText);
    writes.write(kUser, QStringLiteral("U_pass"), m_values.UserPassword);
    return writes.tell(m_dialogs,
                       QStringLiteral("用户使用密码设置成功！\r\n用户：") + userName +
                           QStringLiteral("\r\n密码：") + passwordText +
                           QStringLiteral("\r\n请记住您的使用密码！"),
                       QStringLiteral("重要提示"));
}

void SettingsForm::openHelp() {
    // The program folder's own help first, else the one installed with the program.
    const QString help = InstallLayout::sharedFile(
        m_settings.AppFolder(), QCoreApplication::applicationDirPath(), QStringLiteral("软件使用帮助.txt"));
    if (QFileInfo(help).isFile())
        m_shell.openPath(help);
}

void SettingsForm::openLink(const QString &address) {
    if (!address.isEmpty())
        m_shell.openUrl(address);
}
