// SPDX-License-Identifier: MIT
#include "platform/QtUserDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {
QString titleOrProgramName(const QString &title) {
    return title.isEmpty() ? QStringLiteral("Tackora") : title;
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtUserDialogs::message(const QString &text, const QString &title, MessageIcon icon) {
    QMessageBox box(boxIcon(icon), titleOrProgramName(title), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

bool QtUserDialogs::askYesNo(const QString &text, const QString &title, MessageIcon icon) {
    QMessageBox box(boxIcon(icon), titleOrProgramName(title), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("QuestionBox"));
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserDialogs::input(const QString &prompt, const QString &title,
                                            const QString &defaultText) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setWindowTitle(titleOrProgramName(title));
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}
