// SPDX-License-Identifier: MIT
#include "platform/Autorun.h"

#include "common/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

XdgAutorun::XdgAutorun(QString programPath, QString programFolder)
    : m_programPath(std::move(programPath))
    , m_programFolder(std::move(programFolder)) {}

QString XdgAutorun::autostartFolder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

QString XdgAutorun::entryPath() const {
    return autostartFolder() + QStringLiteral("/tackora.desktop");
}

QString XdgAutorun::quoteArgument(const QString &argument) {
    // Inside quotes, " ` $ and \ take a backslash; the value itself then
    // doubles every backslash, and a literal % is written %%.
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'%', QStringLiteral("%%"));
    return u'"' + quoted + u'"';
}

QString XdgAutorun::execLine() const {
    QString line = quoteArgument(m_programPath);
    const QString executableFolder = QFileInfo(m_programPath).absolutePath();
    if (QDir::cleanPath(m_programFolder) != QDir::cleanPath(executableFolder))
        line += QStringLiteral(" --home ") + quoteArgument(QDir::cleanPath(m_programFolder));
    return line;
}

bool XdgAutorun::writeEntry(bool enabled) {
    if (!QDir().mkpath(autostartFolder()))
        return false;
    const QString flag = enabled ? QStringLiteral("true") : QStringLiteral("false");
    const QString entry =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Tackora\n"
                       "Exec=%1\n"
                       "Terminal=false\n"
                       "Hidden=%2\n"
                       "X-GNOME-Autostart-enabled=%3\n")
            .arg(execLine(), enabled ? QStringLiteral("false") : QStringLiteral("true"), flag);
    return writeFileAtomically(entryPath(), entry.toUtf8());
}

bool XdgAutorun::RegisterAutorun() {
    return writeEntry(true);
}

bool XdgAutorun::UnregisterAutorun() {
    return writeEntry(false);
}
