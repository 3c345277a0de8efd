// SPDX-License-Identifier: MIT
#include "shell/TrayClicks.h"

#include "board/BoardModel.h"
#include "common/ProcessValues.h"
#include "platform/UserDialogs.h"

TrayClicks::TrayClicks(BoardModel &board, UserDialogs &dialogs, const ProcessValues &values, QObject *parent)
    : QObject(parent)
    , m_board(board)
    , m_dialogs(dialogs)
    , m_values(values) {}

void TrayClicks::leftClick() {
    if (!m_board.isHidden()) {
        m_board.hideToTray();
        return;
    }
    if (!m_values.UserPassword.isEmpty()) {
        // One attempt per click; the comparison is exact and case-sensitive.
        const QString answer =
            askTrimmed(m_dialogs, QStringLiteral("请输入使用密码："), QStringLiteral("【Tackora】"));
        if (answer != m_values.UserPassword) {
            m_dialogs.message(QStringLiteral("用户密码不正确！您没有使用权！"), QStringLiteral("安全警告"),
                              MessageIcon::Critical);
            return;
        }
    }
    m_board.showFromTray();
}

void TrayClicks::rightClick() {
    Q_EMIT menuRequested();
}
