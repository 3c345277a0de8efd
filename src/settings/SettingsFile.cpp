// SPDX-License-Identifier: MIT
#include "settings/SettingsFile.h"

#include "common/AnsiCodec.h"
#include "common/AtomicFile.h"
#include "settings/ProfileCache.h"
#include "settings/ProfileEncoding.h"
#include "settings/ProfileFormat.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links in a row as the kernel follows.
constexpr int kMostLinks = 40;

// The file a chain of symbolic links at path ends at (path itself when it is
// no link): replacing that one keeps the links. Nothing when the chain loops.
std::optional<QByteArray> finalTarget(const QString &path) {
    QByteArray current = QFile::encodeName(path);
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat status = {};
        if (::lstat(current.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        QByteArray text(PATH_MAX, '\0');
        const ssize_t size = ::readlink(current.constData(), text.data(), size_t(text.size()));
        if (size < 0)
            return std::nullopt;
        text.truncate(size);
        // A relative link is read from the folder it is in.
        current = text.startsWith('/') ? text : current.first(current.lastIndexOf('/') + 1) + text;
    }
    errno = ELOOP;
    return std::nullopt;
}

// A file without write permission is not ours to replace. The bits are
// checked here as well, since root may write whatever they say.
bool isReadOnly(const QByteArray &file) {
    struct stat status = {};
    if (::stat(file.constData(), &status) != 0)
        return false;
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           (::faccessat(AT_FDCWD, file.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES);
}

} // namespace

QString TrimAtNul(const QString &text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

SettingsFile::SettingsFile(QString appFolder)
    : m_appFolder(withTrailingSeparator(appFolder)) {}

QString SettingsFile::path() const {
    return m_appFolder + QStringLiteral("setup.ini");
}

bool SettingsFile::exists() const {
    return QFileInfo::exists(path());
}

QString SettingsFile::ReadSetting(const QString &section, const QString &key) const {
    const ProfileCache::Loaded file = ProfileCache::shared().load(path());
    if (!file.profile)
        return {};
    const auto value = file.profile->value(AnsiCodec::encode(section), AnsiCodec::encode(key));
    return value ? TrimAtNul(ProfileEncoding::decode(*value)) : QString();
}

ProfileEncoding::Finding SettingsFile::examineEncoding() const {
    const ProfileCache::Loaded file = ProfileCache::shared().load(path());
    return file.profile ? ProfileEncoding::examine(file.profile->bytes()) : ProfileEncoding::Finding();
}

bool SettingsFile::WriteSetting(const QString &section, const QString &key, const QString &value,
                                QString *error) const {
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString link = path();
    const std::optional<QByteArray> target = finalTarget(link);
    if (!target)
        return fail(QStringLiteral("无法找到 %1 链接到的文件：").arg(link) +
                    QString::fromLocal8Bit(std::strerror(errno)));
    const QString targetPath = QFile::decodeName(*target);
    ProfileCache &cache = ProfileCache::shared();
    const ProfileCache::Loaded file = cache.load(link);
    if (!file.profile && file.exists)
        return fail(QStringLiteral("无法读取 %1").arg(link));
    if (file.profile && isReadOnly(*target))
        return fail(QStringLiteral("%1 是只读文件，不能写入").arg(targetPath));
    const QByteArray sectionBytes = AnsiCodec::encode(section);
    const QByteArray keyBytes = AnsiCodec::encode(key);
    // Bytes GBK cannot decode cannot be encoded again from what was read:
    // written back as read they stay, and a value made from them is refused.
    if (file.profile) {
        const auto stored = file.profile->value(sectionBytes, keyBytes);
        if (stored && ProfileEncoding::firstUndecodable(*stored) >= 0 &&
            TrimAtNul(value) == ProfileEncoding::decode(*stored))
            return true;
    }
    if (TrimAtNul(value).contains(QChar::ReplacementCharacter))
        return fail(QStringLiteral("%1 中[%2]的 %3 未写入：这个值里有从无法按 GBK 读取的字节得来的字符，"
                                   "写入会毁掉原来的字节")
                        .arg(link, section, key));
    const ProfileFormat::Profile none;
    const ProfileFormat::Profile &before = file.profile ? *file.profile : none;
    QByteArray after = before.withValue(sectionBytes, keyBytes, AnsiCodec::encode(TrimAtNul(value)));
    if (file.profile && after == before.bytes())
        return true;
    if (!writeFileAtomically(targetPath, after, error))
        return false;
    cache.stored(link, std::move(after));
    return true;
}
