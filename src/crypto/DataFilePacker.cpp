// SPDX-License-Identifier: MIT
#include "crypto/DataFilePacker.h"

#include "common/AnsiCodec.h"
#include "common/AtomicFile.h"
#include "crypto/CryptoHelpers.h"
#include "settings/ProfileFormat.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace DataFilePacker {
namespace {

const QByteArray kSection = QByteArrayLiteral("CHECK");
const QByteArray kKey = QByteArrayLiteral("c_key");

QByteArray readAll(const QString &path, bool *ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

// The stamp is part of the file it measures: stamp the size, then again with
// the size that gives, until the two agree (a size that gains a digit, 99 to
// 100 bytes, needs a third pass).
bool stamp(const QString &textFile) {
    constexpr int kMostPasses = 4;
    for (int pass = 0; pass < kMostPasses; ++pass) {
        bool ok = false;
        const QByteArray content = readAll(textFile, &ok);
        if (!ok)
            return false;
        const QByteArray size = QByteArray::number(content.size());
        const auto current = ProfileFormat::readValue(content, kSection, kKey);
        if (pass >= 2 && current && *current == size)
            return true;
        if (!writeFileAtomically(textFile, ProfileFormat::writeValue(content, kSection, kKey, size)))
            return false;
    }
    return true;
}

// path with its ending from (any case) replaced by to; empty when it has no
// such ending or the ending is the whole name.
QString withEnding(const QString &path, QLatin1StringView from, const QString &to) {
    if (!path.endsWith(from, Qt::CaseInsensitive) || path.size() == from.size() ||
        path[path.size() - from.size() - 1] == u'/')
        return QString();
    return path.chopped(from.size() - 1) + to;
}

// Two names of one file (a hard link): writing one would rewrite the other.
bool sameFile(const QString &a, const QString &b) {
    struct stat first = {};
    struct stat second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

} // namespace

QString sealedPathOf(const QString &textFile) {
    return withEnding(textFile, QLatin1StringView(".txt"), QStringLiteral("dll"));
}

QString unsealedPathOf(const QString &sealedFile) {
    return withEnding(sealedFile, QLatin1StringView(".dll"), QStringLiteral("txt"));
}

Refusal refusalOf(const QString &source, bool sealing, bool replace) {
    const QString target = sealing ? sealedPathOf(source) : unsealedPathOf(source);
    if (target.isEmpty())
        return Refusal::WrongEnding;
    if (!FileExists(source))
        return Refusal::Missing;
    if (!IsRegularFile(source))
        return Refusal::NotRegular;
    if (sameFile(source, target))
        return Refusal::SameFile;
    if (!replace && QFileInfo::exists(target))
        return Refusal::TargetExists;
    return Refusal::None;
}

QString seal(const QString &textFile, const QString &masterKey, bool replace) {
    if (refusalOf(textFile, true, replace) != Refusal::None || !stamp(textFile))
        return sealFailedText();
    return EncryptFileWithKey(textFile, sealedPathOf(textFile), masterKey) ? sealSucceededText()
                                                                           : sealFailedText();
}

UnsealResult unseal(const QString &sealedFile, const QString &masterKey, bool replace) {
    if (refusalOf(sealedFile, false, replace) != Refusal::None)
        return UnsealResult::Failed;
    const QString target = unsealedPathOf(sealedFile);
    if (!DecryptFileWithKey(sealedFile, target, masterKey))
        return UnsealResult::Failed;
    bool ok = false;
    const QByteArray content = readAll(target, &ok);
    const auto value = ProfileFormat::readValue(content, kSection, kKey);
    const QString stampText = value ? TrimAtNul(AnsiCodec::decode(*value)) : QString();
    return stampText == QString::number(QFileInfo(target).size()) ? UnsealResult::Verified
                                                                  : UnsealResult::Mismatch;
}

QString sealSucceededText() {
    return QStringLiteral("加密文件成功！");
}
QString sealFailedText() {
    return QStringLiteral("加密文件失败！");
}
QString unsealFailedText() {
    return QStringLiteral("解密失败！");
}
QString unsealSucceededText() {
    return QStringLiteral("解密成功！");
}
QString verifiedText() {
    return QStringLiteral("文件校验成功！");
}
QString mismatchText() {
    return QStringLiteral("文件校验失败！");
}

} // namespace DataFilePacker
