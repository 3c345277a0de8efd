// SPDX-License-Identifier: MIT
#pragma once

#include "platform/UserDialogs.h"

class QWidget;

/// Message and input boxes on QMessageBox and QInputDialog.
class QtUserDialogs final : public UserDialogs {
public:
    void message(const QString &text, const QString &title, MessageIcon icon) override;
    bool askYesNo(const QString &text, const QString &title, MessageIcon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
};
