// SPDX-License-Identifier: MIT
#include "platform/Autorun.h"

#include "common/AtomicFile.h"
#include "common/InstallLayout.h"

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
    // The Exec quoting first: inside quotes, " ` $ and \ take a backslash, and
    // a literal % is written %%.
    QString quoted(1, u'"');
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    quoted += u'"';
    // Then the escapes of every string value: a backslash doubles, and tab,
    // line feed and carriage return are written \t \n \r, so that no name can
    // end the line and start a key of its own.
    QString value;
    for (const QChar c : quoted) {
        switch (c.unicode()) {
        case u'\\':
            value += QStringLiteral("\\\\");
            break;
        case u'\t':
            value += QStringLiteral("\\t");
            break;
        case u'\n':
            value += QStringLiteral("\\n");
            break;
        case u'\r':
            value += QStringLiteral("\\r");
            break;
        default:
            value += c;
        }
    }
    return value;
}

QString XdgAutorun::unwritableCharacter(const QString &text) {
    const auto shown = [](char16_t code) {
        return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text[i].unicode();
        const bool control = (code < 0x20 && code != u'\t' && code != u'\n' && code != u'\r') ||
                             (code >= 0x7F && code <= 0x9F);
        // A name byte that is not UTF-8 arrives as U+FFFD: written so, the
        // entry would name another folder.
        const bool notUtf8 =
            code == 0xFFFD ||
            (text[i].isHighSurrogate() && (i + 1 == text.size() || !text[i + 1].isLowSurrogate())) ||
            (text[i].isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate()));
        if (control || notUtf8)
            return shown(code);
    }
    return QString();
}

QString XdgAutorun::homeArgument() const {
    // Only the folder the program would take by itself goes without --home.
    const QString executableFolder = QFileInfo(m_programPath).absolutePath();
    if (QDir::cleanPath(m_programFolder) ==
        QDir::cleanPath(InstallLayout::defaultProgramFolder(executableFolder)))
        return QString();
    return QDir::cleanPath(m_programFolder);
}

QString XdgAutorun::execLine() const {
    QString line = quoteArgument(m_programPath);
    if (const QString home = homeArgument(); !home.isEmpty())
        line += QStringLiteral(" --home ") + quoteArgument(home);
    return line;
}

QString XdgAutorun::writeEntry(bool enabled) {
    for (const QString &argument : {m_programPath, homeArgument()}) {
        if (const QString bad = unwritableCharacter(argument); !bad.isEmpty())
            return QStringLiteral("“%1”含有自动启动项无法记下的字符（%2），请换一个文件夹名称。")
                .arg(argument, bad);
    }
    if (!QDir().mkpath(autostartFolder()))
        return QStringLiteral("无法创建文件夹%1").arg(autostartFolder());
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
    QString error;
    if (!writeFileAtomically(entryPath(), entry.toUtf8(), &error))
        return error;
    return QString();
}

QString XdgAutorun::RegisterAutorun() {
    return writeEntry(true);
}

QString XdgAutorun::UnregisterAutorun() {
    return writeEntry(false);
}
