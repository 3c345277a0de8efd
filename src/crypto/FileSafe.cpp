// SPDX-License-Identifier: MIT
#include "crypto/FileSafe.h"

#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/SafeLog.h"
#include "platform/Balloons.h"
#include "platform/FileChoosers.h"
#include "platform/ShellOpener.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
const QString kQuestionTitle = QStringLiteral("【提示】");
const QChar kSeparator = QDir::separator();

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && path.endsWith(kSeparator))
        path.chop(1);
    return path;
}

QString fileNameOf(const QString &path) {
    return path.mid(path.lastIndexOf(kSeparator) + 1);
}

// A folder removed or a stick pulled while it was browsed: the closest folder
// above it that is still there, found on the text of the path alone.
QString nearestExistingFolder(QString folder) {
    while (QDir::isAbsolutePath(folder) && !QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return QFileInfo(folder).isDir() ? folder : QDir::toNativeSeparators(QDir::homePath());
}
} // namespace

FileSafe::FileSafe(const SettingsFile &settings, ProcessValues &values, UserDialogs &dialogs,
                   FileChoosers &choosers, ShellOpener &shell)
    : m_settings(settings)
    , m_values(values)
    , m_dialogs(dialogs)
    , m_choosers(choosers)
    , m_shell(shell) {}

void FileSafe::load() {
    const QString inProgramFolder = m_settings.AppFolder() + QStringLiteral("保险柜");
    const QString root = m_settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path"));
    m_safeFolder = inProgramFolder;
    if (!root.isEmpty()) {
        const QString candidate = withoutTrailingSeparator(root) + kSeparator + QStringLiteral("保险柜");
        if (QFileInfo(candidate).isDir())
            m_safeFolder = candidate;
    }
    m_onlyEncrypted = false;
    openAfterDecrypt = false;
    setFolder(m_safeFolder);
    resultFolder = m_safeFolder + kSeparator;
    decryptPath.clear();
    encryptPath.clear();
    m_logText = SafeLog::read(m_settings.AppFolder());
}

QStringList FileSafe::drives() {
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots.append(QDir::toNativeSeparators(volume.rootPath()));
    }
    roots.sort();
    return roots;
}

QString FileSafe::drive() const {
    return QDir::toNativeSeparators(QStorageInfo(m_folder).rootPath());
}

void FileSafe::setDrive(const QString &drive) {
    if (QFileInfo(drive).isDir() && QDir(drive).isReadable())
        setFolder(drive);
}

void FileSafe::setFolder(const QString &folder) {
    m_folder = nearestExistingFolder(withoutTrailingSeparator(QDir::toNativeSeparators(folder)));
    refreshFiles();
}

QStringList FileSafe::subfolders() const {
    return QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

void FileSafe::refreshFiles() {
    const QStringList patterns{m_onlyEncrypted ? QStringLiteral("*.aes") : QStringLiteral("*")};
    m_files = QDir(m_folder).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

void FileSafe::setOnlyEncrypted(bool only) {
    m_onlyEncrypted = only;
    refreshFiles();
}

void FileSafe::fileClicked(const QString &name) {
    const QString path = withTrailingSeparator(m_folder) + name;
    if (!FileExists(path)) {
        decryptPath.clear();
        encryptPath.clear();
        return;
    }
    if (path.right(3).compare(QStringLiteral("aes"), Qt::CaseInsensitive) == 0)
        decryptPath = path;
    else
        encryptPath = path;
}

void FileSafe::chooseFileToDecrypt(QWidget *owner) {
    const QString path =
        m_choosers.ShowFileDialog(owner, QStringLiteral("选择一个待解密文件"), QStringLiteral("*.aes"),
                                  QStringLiteral("解密文件"), QString(), 1);
    if (!path.isEmpty())
        decryptPath = path;
}

void FileSafe::chooseFileToEncrypt(QWidget *owner) {
    const QString path =
        m_choosers.ShowFileDialog(owner, QStringLiteral("选择一个待加密文件"), QStringLiteral("*.*"),
                                  QStringLiteral("所有文件"), QString(), 1);
    if (!path.isEmpty())
        encryptPath = path;
}

void FileSafe::chooseResultFolder(QWidget *owner) {
    const QString folder = m_choosers.BrowseForFolder(
        owner, QStringLiteral("选择待待加密或解密文件存放的文件夹路径"), QString());
    if (!folder.isEmpty())
        resultFolder = withTrailingSeparator(folder);
}

void FileSafe::openResultFolder() {
    if (!resultFolder.isEmpty())
        m_shell.openPath(resultFolder);
}

QString FileSafe::fileKey() const {
    return DecryptString(m_values.SecurityKey, m_values.MasterKey);
}

bool FileSafe::confirmOverwrite(const QString &target, const QString &verb, const QString &source) {
    if (!QFileInfo::exists(target))
        return true;
    if (!m_dialogs.askYesNo(target + QStringLiteral("已存在同名文件，是否覆盖？"), kQuestionTitle,
                            MessageIcon::Question)) {
        m_dialogs.message(verb + source + QStringLiteral("被取消！"), QString(), MessageIcon::None);
        return false;
    }
    // The old file goes only once the new one is complete: the file routines
    // write beside the target and rename over it.
    return true;
}

void FileSafe::appendLog(bool encrypted, const QString &source, const QString &target) {
    QString error;
    if (!SafeLog::append(
            m_settings.AppFolder(),
            SafeLog::record(encrypted, QDateTime::currentDateTime(), source, target, m_values.SecurityKey),
            &error)) {
        // The file is done, but the log no longer lists it: the user must know.
        m_dialogs.message(
            (encrypted ? QStringLiteral("加密") : QStringLiteral("解密")) +
                QStringLiteral("已完成：%1\r\n但操作记录没能写入 jm.log（%2），历史操作记录中不会有这一条。")
                    .arg(target, error),
            QStringLiteral("错误提示"), MessageIcon::Warning);
    }
    m_logText = SafeLog::read(m_settings.AppFolder());
}

void FileSafe::balloon(const QString &title, const QString &text) {
    if (m_values.notifyIcon)
        m_values.notifyIcon->ShowBubble(title, text, 1);
}

bool FileSafe::inputsReady(const QString &source, const QString &noFolderText, const QString &noFileText) {
    const QString missing = resultFolder.isEmpty() ? noFolderText
                            : source.isEmpty()     ? noFileText
                            : !FileExists(source)  ? QStringLiteral("该文件不存在！请重新选择！")
                            : !IsRegularFile(source) ? source + notRegularFileText()
                                                     : QString();
    if (!missing.isEmpty())
        m_dialogs.message(missing, QString(), MessageIcon::None);
    return missing.isEmpty();
}

bool FileSafe::encrypt() {
    if (!inputsReady(encryptPath, QStringLiteral("没有选择加密文件后的存放文件夹！"),
                     QStringLiteral("请先选择一个待加密文件！")))
        return false;
    const QString key = fileKey();
    const QString source = encryptPath;
    const QString target = resultFolder + fileNameOf(source) + QStringLiteral(".aes");
    if (!confirmOverwrite(target, QStringLiteral("加密"), source))
        return false;
    const bool done = EncryptFileWithKey(source, target, key);
    if (done) {
        appendLog(true, source, target);
        balloon(QStringLiteral("加密"), source + QStringLiteral("加密成功并保存完毕!"));
    } else {
        balloon(QStringLiteral("加密"), source + QStringLiteral("加密失败!"));
    }
    refreshFiles();
    return done;
}

bool FileSafe::decrypt() {
    if (!inputsReady(decryptPath, QStringLiteral("没有选择解密文件后的存放文件夹！"),
                     QStringLiteral("请先选择一个待解密文件！")))
        return false;
    const QString key = fileKey();
    const QString source = decryptPath;
    const QString name = fileNameOf(source);
    const QString target = resultFolder + name.left(qMax<qsizetype>(0, name.size() - 4));
    if (!confirmOverwrite(target, QStringLiteral("解密"), source))
        return false;
    // A wrong key caught by the container's length byte is a failure: nothing
    // is written and nothing logged.
    const bool done = DecryptFileWithKey(source, target, key);
    if (done) {
        appendLog(false, source, target);
        balloon(QStringLiteral("解密"), source + QStringLiteral("解密成功并保存完毕!"));
        if (openAfterDecrypt)
            m_shell.openPath(target);
    } else {
        balloon(QStringLiteral("解密"), source + QStringLiteral("解密失败!"));
    }
    refreshFiles();
    return done;
}
