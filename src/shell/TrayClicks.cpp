// SPDX-License-Identifier: MIT
#include "shell/TrayClicks.h"

#include "board/BoardModel.h"
#include "common/ProcessValues.h"
#include "platform/TrayHost.h"
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
    if (passwordAccepted())
        m_board.showFromTray();
}

void TrayClicks::bringBack() {
    if (m_board.isHidden()) {
        if (!passwordAccepted())
            return;
        m_board.showFromTray();
    }
    m_board.bringToFront();
}

bool TrayClicks::passwordAccepted() {
    if (m_values.UserPassword.isEmpty())
        return true;
    // One attempt per click; the comparison is exact and case-sensitive.
    const QString answer =
        askTrimmed(m_dialogs, QStringLiteral("请输入使用密码："), QStringLiteral("【Tackora】"));
    if (answer == m_values.UserPassword)
        return true;
    m_dialogs.message(QStringLiteral("用户密码不正确！您没有使用权！"), QStringLiteral("安全警告"),
                      MessageIcon::Critical);
    return false;
}

void TrayClicks::rightClick() {
    Q_EMIT menuRequested();
}

void followTrayAvailability(BoardModel &board, TrayHost &tray) {
    board.setTrayAvailable(tray.isAvailable());
    QObject::connect(&tray, &TrayHost::availabilityChanged, &board, &BoardModel::setTrayAvailable);
}
