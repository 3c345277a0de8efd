// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include "common/AnsiCodec.h"

#include <QFile>

void RecordingDialogs::message(const QString &text, const QString &title, MessageIcon icon) {
    shown.append({QStringLiteral("message"), text, title, icon});
}

bool RecordingDialogs::askYesNo(const QString &text, const QString &title, MessageIcon icon) {
    shown.append({QStringLiteral("yesno"), text, title, icon});
    return yesNoAnswers.isEmpty() ? false : yesNoAnswers.dequeue();
}

std::optional<QString> RecordingDialogs::input(const QString &prompt, const QString &title, const QString &) {
    shown.append({QStringLiteral("input"), prompt, title, MessageIcon::None});
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray gbk(const QString &text) {
    return AnsiCodec::encode(text);
}
