// SPDX-License-Identifier: MIT
#pragma once

#include <QMenu>

class BoardModel;
class ShellOpener;
class ShutdownHelper;

/// The program menu ("程序菜单") that the tray icon's right button pops up.
/// Its check marks mirror the board's always-on-top and calendar state.
class ProgramMenu final : public QMenu {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramMenu)
public:
    ProgramMenu(BoardModel &board, ShutdownHelper &shutdown, ShellOpener &shell, const QString &appFolder,
                QWidget *parent = nullptr);

    static QString updatePageAddress();
    static QString gamesPageAddress();

    /// The action of an entry by its name ("App_Exit").
    QAction *entry(const QString &name) const;

    /// Pops the menu up at position unless an application-modal window is
    /// open: its entries would act under that window. False when it did not.
    bool popupAt(const QPoint &position);

Q_SIGNALS:
    void safeRequested();
    void calendarToggleRequested();
    void settingsRequested();
    void exitRequested();

private:
    QAction *addEntry(QMenu *menu, const char *name, const QString &caption);
    void addSeparatorEntry(const char *name);

    BoardModel &m_board;
};
