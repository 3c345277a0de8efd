// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class BoardModel;
class TrayHost;
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
    /// Another start of the program: the board comes back and to the front,
    /// after the user password when it was hidden in the tray.
    void bringBack();

Q_SIGNALS:
    void menuRequested();

private:
    /// The user password asked when one is set; a wrong answer is told.
    bool passwordAccepted();

    BoardModel &m_board;
    UserDialogs &m_dialogs;
    const ProcessValues &m_values;
};

/// The board follows the desktop's tray for the whole run, from now on: with
/// none, hiding minimises it (BoardModel::setTrayAvailable).
void followTrayAvailability(BoardModel &board, TrayHost &tray);
