// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class BoardModel;
class UserDialogs;
struct ProcessValues;

/// What clicks on the tray icon do: the left button hides the board or, after
/// the user password when one is set, shows it again; the right button asks
/// for the program menu, also while the board is hidden.
class TrayClicks final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayClicks)
public:
    TrayClicks(BoardModel &board, UserDialogs &dialogs, const ProcessValues &values,
               QObject *parent = nullptr);

    void leftClick();
    void rightClick();

Q_SIGNALS:
    void menuRequested();

private:
    BoardModel &m_board;
    UserDialogs &m_dialogs;
    const ProcessValues &m_values;
};
