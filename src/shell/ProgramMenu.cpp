// SPDX-License-Identifier: MIT
#include "shell/ProgramMenu.h"

#include "board/BoardModel.h"
#include "common/InstallLayout.h"
#include "common/WebPages.h"
#include "platform/ShellOpener.h"
#include "shell/ShutdownHelper.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

ProgramMenu::ProgramMenu(BoardModel &board, ShutdownHelper &shutdown, ShellOpener &shell,
                         const QString &appFolder, QWidget *parent)
    : QMenu(QStringLiteral("程序菜单"), parent)
    , m_board(board) {
    setObjectName(QStringLiteral("Appmenu"));
    setWindowTitle(title());

    connect(addEntry(this, "App_Box", QStringLiteral("保 险 柜")), &QAction::triggered, this,
            &ProgramMenu::safeRequested);

    QAction *calendar = addEntry(this, "App_Wnl", QStringLiteral("万 年 历"));
    calendar->setCheckable(true);
    connect(calendar, &QAction::triggered, this, [this, calendar] {
        // The check mark follows the calendar's state, whoever toggles it.
        calendar->setChecked(m_board.isCalendarChecked());
        Q_EMIT calendarToggleRequested();
    });

    addSeparatorEntry("App_bar1");

    QAction *onTop = addEntry(this, "App_UpDown", QStringLiteral("窗体置前"));
    onTop->setCheckable(true);
    connect(onTop, &QAction::triggered, this, [this] { m_board.setOnTop(!m_board.isOnTop()); });

    connect(addEntry(this, "App_Setup", QStringLiteral("软件设置")), &QAction::triggered, this,
            &ProgramMenu::settingsRequested);

    addSeparatorEntry("App_bar2");

    QMenu *about = addMenu(QStringLiteral("关于软件"));
    about->setObjectName(QStringLiteral("App_About"));
    about->menuAction()->setObjectName(QStringLiteral("App_About"));
    // The program folder's own help first, else the one installed with the program.
    connect(addEntry(about, "App_Help", QStringLiteral("使用帮助")), &QAction::triggered, this,
            [&shell, appFolder] {
                const QString helpFile = InstallLayout::sharedFile(
                    appFolder, QCoreApplication::applicationDirPath(), QStringLiteral("软件使用帮助.txt"));
                if (QFileInfo(helpFile).isFile())
                    shell.openPath(helpFile);
            });
    // Entries that would lead to no page are not shown.
    const auto addWebEntry = [this, about, &shell](const char *name, const QString &caption,
                                                   const QString &address) {
        QAction *action = addEntry(about, name, caption);
        action->setVisible(!address.isEmpty());
        connect(action, &QAction::triggered, this, [&shell, address] {
            if (!address.isEmpty())
                shell.openUrl(address);
        });
    };
    addWebEntry("App_Update", QStringLiteral("软件升级"), updatePageAddress());
    addWebEntry("App_Game", QStringLiteral("Zovalo"), gamesPageAddress());

    QMenu *shutdownMenu = addMenu(QStringLiteral("关机助手"));
    shutdownMenu->setObjectName(QStringLiteral("App_Shoudown"));
    shutdownMenu->menuAction()->setObjectName(QStringLiteral("App_Shoudown"));
    connect(addEntry(shutdownMenu, "App_Shuttime", QStringLiteral("定时关机")), &QAction::triggered, this,
            [&shutdown] { shutdown.App_Shuttime_Click(); });
    connect(addEntry(shutdownMenu, "App_ShutGJ", QStringLiteral("电脑关机")), &QAction::triggered, this,
            [&shutdown] { shutdown.App_ShutGJ_Click(); });
    connect(addEntry(shutdownMenu, "App_ShutQX", QStringLiteral("取消关机")), &QAction::triggered, this,
            [&shutdown] { shutdown.App_ShutQX_Click(); });

    addSeparatorEntry("App_bar0");
    connect(addEntry(this, "App_Exit", QStringLiteral("退出程序")), &QAction::triggered, this,
            &ProgramMenu::exitRequested);

    const auto mirror = [this, calendar, onTop] {
        calendar->setChecked(m_board.isCalendarChecked());
        onTop->setChecked(m_board.isOnTop());
    };
    connect(&m_board, &BoardModel::calendarCheckedChanged, this, mirror);
    connect(&m_board, &BoardModel::onTopChanged, this, mirror);
    mirror();
}

QString ProgramMenu::updatePageAddress() {
    return WebPages::update();
}

QString ProgramMenu::gamesPageAddress() {
    return WebPages::games();
}

QAction *ProgramMenu::entry(const QString &name) const {
    for (QAction *action : findChildren<QAction *>()) {
        if (action->objectName() == name)
            return action;
    }
    for (QMenu *menu : findChildren<QMenu *>()) {
        if (menu->menuAction()->objectName() == name)
            return menu->menuAction();
    }
    return nullptr;
}

bool ProgramMenu::popupAt(const QPoint &position) {
    if (QApplication::activeModalWidget())
        return false;
    popup(position);
    return true;
}

QAction *ProgramMenu::addEntry(QMenu *menu, const char *name, const QString &caption) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setParent(this);
    return action;
}

void ProgramMenu::addSeparatorEntry(const char *name) {
    QAction *separator = addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
}
