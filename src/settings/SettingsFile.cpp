// SPDX-License-Identifier: MIT
#include "settings/SettingsFile.h"

#include "common/AnsiCodec.h"
#include "common/AtomicFile.h"
#include "settings/ProfileFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// A profile file is small; a larger one is not ours to load into memory whole.
constexpr qint64 kLargestProfileFile = 64 * 1024 * 1024;

QByteArray readWholeFile(const QString &path, bool *ok) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestProfileFile) {
        *ok = false;
        return {};
    }
    *ok = true;
    return file.readAll();
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
    bool ok = false;
    const QByteArray file = readWholeFile(path(), &ok);
    if (!ok)
        return {};
    const auto value = ProfileFormat::readValue(file, AnsiCodec::encode(section), AnsiCodec::encode(key));
    return value ? TrimAtNul(AnsiCodec::decode(*value)) : QString();
}

bool SettingsFile::WriteSetting(const QString &section, const QString &key, const QString &value,
                                QString *error) const {
    const QString target = path();
    bool ok = false;
    const QByteArray before = readWholeFile(target, &ok);
    if (!ok && QFileInfo::exists(target)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(target);
        return false;
    }
    const QByteArray after = ProfileFormat::writeValue(
        before, AnsiCodec::encode(section), AnsiCodec::encode(key), AnsiCodec::encode(TrimAtNul(value)));
    if (ok && after == before)
        return true;
    return writeFileAtomically(target, after, error);
}
