// SPDX-License-Identifier: MIT
#include "filebox/DropHandler.h"

#include "common/ProcessValues.h"
#include "common/StatusLine.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/SafeLog.h"
#include "filebox/DropMove.h"
#include "platform/Balloons.h"
#include "platform/UserDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kSafe = 8;
const QString kQuestionTitle = QStringLiteral("【提示】");

QString balloonTitle(int index, const QString &caption) {
    return QStringLiteral("目录%1 ").arg(index) + caption;
}
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
    if (index < 0 || index > kSafe || paths.isEmpty())
        return false;
    const DropCategory &category = categories[index];
    QDir().mkpath(category.folder);
    if (index == kSafe)
        return safeLoop(paths, category);
    moveLoop(index, paths, category);
    return true;
}

void DropHandler::moveLoop(int index, const QStringList &paths, const DropCategory &category) {
    const QString &first = paths.first();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        if (DropMove::isRefusedForMove(path))
            continue;
        if (progress)
            progress(int(i), int(paths.size()), path);
        const DropMove::Result result = DropMove::moveIntoFolder(path, category.folder, nullptr, itemBytes);
        Balloons *balloons = m_values.notifyIcon;
        if (result == DropMove::Result::Failed) {
            // Reporting a move that did not happen as done would mislead.
            if (balloons)
                balloons->ShowBubble(balloonTitle(index, category.caption),
                                     first + QStringLiteral("移动失败!"), 1);
            m_status.showStatus(QStringLiteral("移动该项目失败!"));
            continue;
        }
        if (balloons)
            balloons->ShowBubble(balloonTitle(index, category.caption), first + QStringLiteral("移动完毕!"),
                                 1);
        m_status.showStatus(QStringLiteral("已成功移动至[") + category.caption + QStringLiteral("]目录!"));
    }
}

bool DropHandler::safeLoop(const QStringList &paths, const DropCategory &category) {
    if (m_values.SecurityKey.size() != 32) {
        if (m_dialogs.askYesNo(
                QStringLiteral(
                    "基于安全，加密文本需要设定一个固定的安全密匙，而密匙尚未设置，是否现在设置？"),
                kQuestionTitle, MessageIcon::Question) &&
            openSettings)
            openSettings();
        return false;
    }
    const QString securityText = DecryptString(m_values.SecurityKey, m_values.MasterKey);
    const QString &first = paths.first();
    const QString title = balloonTitle(kSafe, category.caption);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        if (DropMove::isRefusedForSafe(path) || QFileInfo(path).isDir())
            continue;
        const QString target = category.folder + QFileInfo(path).fileName() + QStringLiteral(".aes");
        if (QFileInfo(target).isFile() &&
            !m_dialogs.askYesNo(category.caption + QStringLiteral("目录已存在同名文件，是否覆盖？"),
                                kQuestionTitle, MessageIcon::Question))
            continue;
        if (progress)
            progress(int(i), int(paths.size()), path);
        Balloons *balloons = m_values.notifyIcon;
        cRijndael::Progress bytes;
        if (itemBytes)
            bytes = [this](qint64 done, qint64 total) {
                itemBytes(std::uint64_t(done), std::uint64_t(total));
            };
        if (EncryptFileWithKey(path, target, securityText, bytes)) {
            SafeLog::append(m_appFolder, SafeLog::record(true, QDateTime::currentDateTime(), path, target,
                                                         m_values.SecurityKey));
            if (balloons)
                balloons->ShowBubble(title, first + QStringLiteral("加密并保存完毕!"), 1);
            m_status.showStatus(QStringLiteral("文件已加密并存至[") + category.caption +
                                QStringLiteral("]目录!"));
        } else {
            if (balloons)
                balloons->ShowBubble(title, first + QStringLiteral("加密失败!"), 1);
            m_status.showStatus(QStringLiteral("加密该文件失败!"));
        }
    }
    return true;
}
