// SPDX-License-Identifier: MIT
#pragma once

#include "common/StatusLine.h"
#include "platform/Balloons.h"
#include "platform/Clock.h"
#include "platform/FileChoosers.h"
#include "platform/ShellOpener.h"
#include "platform/ShutdownRunner.h"
#include "platform/SoundPlayer.h"
#include "platform/TrayHost.h"
#include "platform/UserDialogs.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QQueue>
#include <QString>

/// A clock the test sets.
class FakeClock final : public Clock {
public:
    QDateTime now() const override { return current; }
    QDateTime current = QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0));
};

/// Dialogs that record what they showed and answer from a script.
class RecordingDialogs final : public UserDialogs {
public:
    struct Shown {
        QString kind; // "message", "yesno", "input"
        QString text;
        QString title;
        MessageIcon icon = MessageIcon::None;
    };

    void message(const QString &text, const QString &title, MessageIcon icon) override;
    bool askYesNo(const QString &text, const QString &title, MessageIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;

    /// Answers for the next input boxes; nothing means Cancel.
    QQueue<std::optional<QString>> inputAnswers;
    QQueue<bool> yesNoAnswers;
    QList<Shown> shown;
};

class RecordingShutdownRunner final : public ShutdownRunner {
public:
    void scheduleShutdown(const QString &warning) override {
        calls.append(QStringLiteral("shutdown:") + warning);
    }
    void cancelShutdown() override { calls.append(QStringLiteral("cancel")); }
    QStringList calls;
};

class RecordingShell final : public ShellOpener {
public:
    bool openPath(const QString &path) override {
        opened.append(QStringLiteral("path:") + path);
        return true;
    }
    bool openUrl(const QString &url) override {
        opened.append(QStringLiteral("url:") + url);
        return true;
    }
    QStringList opened;
};

class RecordingTrayHost final : public TrayHost {
public:
    void showIcon(const QString &tip) override { calls.append(QStringLiteral("show:") + tip); }
    void setTip(const QString &tip) override { calls.append(QStringLiteral("tip:") + tip); }
    void showBalloon(const QString &title, const QString &text, int iconFlags) override {
        calls.append(QStringLiteral("balloon:%1|%2|%3").arg(title, text).arg(iconFlags));
    }
    void removeIcon() override { calls.append(QStringLiteral("remove")); }
    QStringList calls;
};

class RecordingBalloons final : public Balloons {
public:
    void ShowBubble(const QString &title, const QString &text, int iconFlags) override {
        shown.append(QStringLiteral("%1|%2|%3").arg(title, text).arg(iconFlags));
    }
    QStringList shown;
};

class RecordingSound final : public SoundPlayer {
public:
    void playAsync(const QString &path) override { played.append(path); }
    QStringList played;
};

class RecordingStatus final : public StatusLine {
public:
    void showStatus(const QString &text) override { shown.append(text); }
    QStringList shown;
};

/// Choosers that record their calls ("folder|title" or
/// "file|title|pattern|description|mode") and answer from a script.
class RecordingChoosers final : public FileChoosers {
public:
    QString BrowseForFolder(QWidget *, const QString &title, const QString &startFolder) override {
        calls.append(QStringLiteral("folder|%1|%2").arg(title, startFolder));
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
    QString ShowFileDialog(QWidget *, const QString &title, const QString &pattern,
                           const QString &description, const QString &, int mode, const QString &) override {
        calls.append(QStringLiteral("file|%1|%2|%3|%4").arg(title, pattern, description).arg(mode));
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
    /// The next paths chosen; none left means Cancel.
    QQueue<QString> answers;
    QStringList calls;
};

/// The bytes of a file, or an empty array when it cannot be read.
QByteArray readBytes(const QString &path);
/// Writes bytes to path, replacing it.
void writeBytes(const QString &path, const QByteArray &bytes);
/// Bytes from a literal that may contain NULs.
template <qsizetype N> QByteArray bytes(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}
/// GBK bytes of text.
QByteArray gbk(const QString &text);
