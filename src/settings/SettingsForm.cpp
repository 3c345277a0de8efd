// SPDX-License-Identifier: MIT
#include "settings/SettingsForm.h"

#include "common/ProcessValues.h"
#include "common/Transparency.h"
#include "platform/Autorun.h"
#include "platform/FileChoosers.h"
#include "platform/ShellOpener.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>

namespace {
const QString kSystem = QStringLiteral("SYSTEM");
const QString kFileBox = QStringLiteral("FILEBOX");
const QString kUser = QStringLiteral("USERINFO");
const QString kHint = QStringLiteral("提示");
const QString kSaved = QStringLiteral("配置已保存，即刻生效！");

// A label becomes a folder name: it must not reach into another folder.
bool isUsableLabel(const QString &label) {
    return !label.contains(u'|') && !label.contains(u'/') && !label.contains(u'\\') && label != u'.' &&
           label != QStringLiteral("..");
}
} // namespace

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
    return {QStringLiteral("https://tackora.example/"), QStringLiteral("https://tackora.example/update"),
            QStringLiteral("https://tackora.example/games")};
}

void SettingsForm::FillFromSettings() {
    transparency =
        qMax(0, Transparency::levelOf(m_settings.ReadSetting(kSystem, QStringLiteral("F_transparent"))));
    runAtLogon = m_settings.ReadSetting(kSystem, QStringLiteral("S_run")) == u'y';
    shutdownText = m_settings.ReadSetting(kSystem, QStringLiteral("S_shutdown"));
    m_values.ShutdownTime = shutdownText;
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

bool SettingsForm::isShutdownTimeText(const QString &text) {
    return text.isEmpty() ||
           (text.size() == 8 && QTime::fromString(text, QStringLiteral("hh:mm:ss")).isValid());
}

bool SettingsForm::saveSystem() {
    if (!isShutdownTimeText(shutdownText)) {
        m_dialogs.message(QStringLiteral("自动关机时间格式有误！请重填（正确为24小时制，例子：17:30:00）"),
                          kHint, MessageIcon::Warning);
        return false;
    }
    m_values.ShutdownTime = shutdownText;
    m_settings.WriteSetting(kSystem, QStringLiteral("S_shutdown"), shutdownText);
    const QString autorunError = runAtLogon ? m_autorun.RegisterAutorun() : m_autorun.UnregisterAutorun();
    m_settings.WriteSetting(kSystem, QStringLiteral("S_run"),
                            runAtLogon ? QStringLiteral("y") : QStringLiteral("n"));
    const int level = qBound(0, transparency, 2);
    m_effects.transparencyChosen(level);
    m_settings.WriteSetting(kSystem, QStringLiteral("F_transparent"), Transparency::codeOf(level));
    if (!autorunError.isEmpty()) {
        // Confirming a log-on start that will not happen would mislead.
        m_dialogs.message(QStringLiteral("无法写入系统自动启动项，软件随系统启动的设置未能生效！\r\n") +
                              autorunError,
                          kHint, MessageIcon::Warning);
    }
    m_dialogs.message(kSaved, kHint, MessageIcon::Information);
    return true;
}

void SettingsForm::chooseFileBoxFolder(QWidget *owner) {
    const QString folder =
        m_choosers.BrowseForFolder(owner, QStringLiteral("请选择设定存储资料盒子文件的路径"), QString());
    if (!folder.isEmpty())
        fileBoxPath = folder;
}

void SettingsForm::clearBackground() {
    m_settings.WriteSetting(kFileBox, QStringLiteral("FB_pic"), QString());
    m_dialogs.message(QStringLiteral("资料盒子背景图片清除成功，重启软件后生效！"), kHint,
                      MessageIcon::Information);
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
    if (!std::all_of(labels.begin(), labels.end(), isUsableLabel)) {
        m_dialogs.message(QStringLiteral("分类标签不能含有“|”、“/”或“\\”，也不能是“.”或“..”，请重新输入！"),
                          kHint, MessageIcon::Warning);
        return false;
    }
    if (!QFileInfo(fileBoxPath).isDir())
        QDir().mkdir(fileBoxPath); // one level; a missing parent fails quietly
    m_settings.WriteSetting(kFileBox, QStringLiteral("FB_path"), fileBoxPath);
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
    m_effects.fileBoxSaved(fileBoxPath, labels, folders);
    m_settings.WriteSetting(kFileBox, QStringLiteral("FB_list"), list.join(u'|'));
    m_dialogs.message(kSaved, kHint, MessageIcon::Information);
    return true;
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
    m_settings.WriteSetting(kUser, QStringLiteral("U_name"), name);
    m_values.UserPassword = trimBlanks(passwordText);
    m_settings.WriteSetting(kUser, QStringLiteral("U_pass"), m_values.UserPassword);
    m_dialogs.message(QStringLiteral("用户使用密码设置成功！\r\n用户：") + userName +
                          QStringLiteral("\r\n密码：") + passwordText +
                          QStringLiteral("\r\n请记住您的使用密码！"),
                      QStringLiteral("重要提示"), MessageIcon::Information);
    return true;
}

void SettingsForm::openHelp() {
    const QString help = m_settings.AppFolder() + QStringLiteral("软件使用帮助.txt");
    if (QFileInfo(help).isFile())
        m_shell.openPath(help);
}

void SettingsForm::openLink(const QString &address) {
    m_shell.openUrl(address);
}
