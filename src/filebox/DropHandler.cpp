// SPDX-License-Identifier: MIT
#include "filebox/DropHandler.h"

#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/SafeLog.h"
#include "filebox/DiskUsage.h"
#include "filebox/DropMove.h"
#include "platform/Balloons.h"
#include "platform/UserDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kSafe = 8;
const QString kQuestionTitle = QStringLiteral("【提示】");

QString balloonTitle(int index, const QString &caption) {
    return QStringLiteral("目录%1 ").arg(index) + caption;
}

// A file for the safe to read. Pipes, sockets and devices are not read (that
// could block or never end): checked before opening, opened without waiting
// for a writer, and checked again on what was opened, which the safe then
// reads through /proc where there is one.
class SafeSource final {
public:
    explicit SafeSource(const QString &path)
        : m_readPath(path) {
        const QByteArray name = QFile::encodeName(path);
        struct stat info {};
        if (::stat(name.constData(), &info) != 0)
            return; // missing: the encryption fails and says so
        m_special = !S_ISREG(info.st_mode);
        if (m_special)
            return;
        m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        m_special = ::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode);
        const QString opened = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
        if (QFileInfo::exists(opened))
            m_readPath = opened;
    }
    ~SafeSource() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SafeSource(const SafeSource &) = delete;
    SafeSource &operator=(const SafeSource &) = delete;

    bool isSpecial() const { return m_special; }
    const QString &readPath() const { return m_readPath; }

private:
    QString m_readPath;
    int m_fd = -1;
    bool m_special = false;
};
} // namespace

DropHandler::DropHandler(UserDialogs &dialogs, StatusLine &status, ProcessValues &values, QString appFolder)
    : m_dialogs(dialogs)
    , m_status(status)
    , m_values(values)
    , m_appFolder(std::move(appFolder)) {}

void DropHandler::dragEnter(bool hasFileList) {
    m_status.showStatus(hasFileList ? QStringLiteral("可以拖放!") : QStringLiteral("不支持该格式!"));
}

bool DropHandler::drop(int index, const QStringList &paths, const std::array<DropCategory, 9> &categories) {
    m_droppedBytes = 0;
    if (index < 0 || index > kSafe || paths.isEmpty())
        return false;
    const DropCategory &category = categories[index];
    // A caption that names no folder leaves it empty, which would mean the
    // working folder.
    if (category.folder.isEmpty()) {
        m_status.showStatus(QStringLiteral("分类“%1”没有文件夹，不能存放文件!").arg(category.caption));
        return false;
    }
    QDir().mkpath(category.folder);
    if (index == kSafe)
        return safeLoop(paths, category);
    moveLoop(index, paths, category);
    return true;
}

void DropHandler::moveLoop(int index, const QStringList &paths, const DropCategory &category) {
    const QString &first = paths.first();
    const QString title = balloonTitle(index, category.caption);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        if (DropMove::isRefusedForMove(path))
            continue;
        if (progress)
            progress(int(i), int(paths.size()), path);
        // Counted before it moves (where it lands may hold a file of the same
        // name); a folder is left to the walk that follows, which counts its
        // files off the window's thread.
        const std::uint64_t bytes = QFileInfo(path).isDir() ? 0 : DiskUsage::itemBytes(path);
        DropMove::Report report;
        const DropMove::Result result = DropMove::moveIntoFolder(path, category.folder, &report, itemBytes);
        if (result != DropMove::Result::Failed)
            m_droppedBytes += bytes;
        if (result != DropMove::Result::Failed && !report.notCopied.isEmpty()) {
            tell(title,
                 path + QStringLiteral("已复制，其中") + report.notCopied.first() +
                     QStringLiteral("等%1项不是普通文件，未复制，原文件夹保留!").arg(report.notCopied.size()),
                 QStringLiteral("已复制至[") + category.caption + QStringLiteral("]目录，原文件夹保留!"));
        } else if (result != DropMove::Result::Failed) {
            tell(title, first + QStringLiteral("移动完毕!"),
                 QStringLiteral("已成功移动至[") + category.caption + QStringLiteral("]目录!"));
        } else if (report.failedStep == DropMove::Step::IntoItself) {
            tell(title, path + QStringLiteral("不能移入其自身!"), QStringLiteral("不能将文件夹移入其自身!"));
        } else if (report.failedStep == DropMove::Step::NotAFile) {
            tell(title, path + QStringLiteral("不是普通文件或文件夹，不能移动!"),
                 QStringLiteral("管道、套接字或设备文件不能移动!"));
        } else if (report.diskFull()) {
            tell(title, first + QStringLiteral("移动失败!磁盘空间不足!"),
                 QStringLiteral("磁盘空间不足，移动该项目失败!"));
        } else {
            // Reporting a move that did not happen as done would mislead.
            tell(title, first + QStringLiteral("移动失败!"), QStringLiteral("移动该项目失败!"));
        }
    }
}

bool DropHandler::safeLoop(const QStringList &paths, const DropCategory &category) {
    if (m_values.SecurityKey.size() != 32) {
        // The settings window is one of the drop's windows too.
        if (asking)
            asking(true);
        if (m_dialogs.askYesNo(
                QStringLiteral(
                    "基于安全，加密文本需要设定一个固定的安全密匙，而密匙尚未设置，是否现在设置？"),
                kQuestionTitle, MessageIcon::Question) &&
            openSettings)
            openSettings();
        if (asking)
            asking(false);
        return false;
    }
    const QString securityText = DecryptString(m_values.SecurityKey, m_values.MasterKey);
    const QString &first = paths.first();
    const QString title = balloonTitle(kSafe, category.caption);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        if (DropMove::isRefusedForSafe(path) || QFileInfo(path).isDir())
            continue;
        const SafeSource source(path);
        if (source.isSpecial()) {
            tell(title, path + QStringLiteral("不是普通文件，不能加密!"),
                 QStringLiteral("管道、套接字或设备文件不能加密!"));
            continue;
        }
        const QString target = category.folder + QFileInfo(path).fileName() + QStringLiteral(".aes");
        if (QFileInfo(target).isFile() &&
            !ask(category.caption + QStringLiteral("目录已存在同名文件，是否覆盖？")))
            continue;
        if (progress)
            progress(int(i), int(paths.size()), path);
        cRijndael::Progress bytes;
        if (itemBytes)
            bytes = [this](qint64 done, qint64 total) {
                itemBytes(std::uint64_t(done), std::uint64_t(total));
            };
        if (EncryptFileWithKey(source.readPath(), target, securityText, bytes)) {
            m_droppedBytes += DiskUsage::itemBytes(target);
            if (SafeLog::append(m_appFolder, SafeLog::record(true, QDateTime::currentDateTime(), path, target,
                                                             m_values.SecurityKey)))
                tell(title, first + QStringLiteral("加密并保存完毕!"),
                     QStringLiteral("文件已加密并存至[") + category.caption + QStringLiteral("]目录!"));
            else
                tell(title, first + QStringLiteral("加密并保存完毕!但操作记录未能写入jm.log!"),
                     QStringLiteral("文件已加密，但操作记录未能写入jm.log!"));
        } else {
            tell(title, first + QStringLiteral("加密失败!"), QStringLiteral("加密该文件失败!"));
        }
    }
    return true;
}

bool DropHandler::ask(const QString &question) {
    if (asking)
        asking(true);
    const bool yes = m_dialogs.askYesNo(question, kQuestionTitle, MessageIcon::Question);
    if (asking)
        asking(false);
    return yes;
}

void DropHandler::tell(const QString &title, const QString &balloon, const QString &status) {
    if (Balloons *balloons = m_values.notifyIcon)
        balloons->ShowBubble(title, balloon, 1);
    m_status.showStatus(status);
}
