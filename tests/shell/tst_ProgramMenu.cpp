// SPDX-License-Identifier: MIT
#include "board/BoardModel.h"
#include "common/ProcessValues.h"
#include "shell/ProgramMenu.h"
#include "shell/ShutdownHelper.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_ProgramMenu : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        BoardModel board;
        RecordingDialogs dialogs;
        RecordingShutdownRunner runner;
        ProcessValues values;
        ShutdownHelper helper{dialogs, runner, values};
        RecordingShell shell;
        ProgramMenu menu{board, helper, shell, dir.path() + u'/'};
    };

private Q_SLOTS:
    // Under an open modal window the entries would act behind it: always on
    // top would rebuild the board under it, the exit would end the program
    // beneath it. The menu waits for the window to close.
    void menuWaitsForAModalWindow() {
        Fixture f;
        QWidget board;
        board.show();
        QDialog modal(&board);
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
        QVERIFY(!f.menu.popupAt(QPoint(10, 10)));
        QVERIFY(!f.menu.isVisible());
        modal.close();
        QVERIFY(f.menu.popupAt(QPoint(10, 10)));
        QVERIFY(f.menu.isVisible());
        f.menu.hide();
    }

    void entriesInDisplayOrder() {
        Fixture f;
        QStringList top;
        for (QAction *action : f.menu.actions())
            top.append(action->objectName() + u'=' +
                       (action->isSeparator() ? QStringLiteral("-") : action->text()));
        QCOMPARE(top,
                 (QStringList{QStringLiteral("App_Box=保 险 柜"), QStringLiteral("App_Wnl=万 年 历"),
                              QStringLiteral("App_bar1=-"), QStringLiteral("App_UpDown=窗体置前"),
                              QStringLiteral("App_Setup=软件设置"), QStringLiteral("App_bar2=-"),
                              QStringLiteral("App_About=关于软件"), QStringLiteral("App_Shoudown=关机助手"),
                              QStringLiteral("App_bar0=-"), QStringLiteral("App_Exit=退出程序")}));
        const auto captions = [](QAction *submenu) {
            QStringList list;
            for (QAction *action : submenu->menu()->actions())
                list.append(action->objectName() + u'=' + action->text());
            return list;
        };
        QCOMPARE(captions(f.menu.entry(QStringLiteral("App_About"))),
                 (QStringList{QStringLiteral("App_Help=使用帮助"), QStringLiteral("App_Update=软件升级"),
                              QStringLiteral("App_Game=Zovalo")}));
        QCOMPARE(captions(f.menu.entry(QStringLiteral("App_Shoudown"))),
                 (QStringList{QStringLiteral("App_Shuttime=定时关机"), QStringLiteral("App_ShutGJ=电脑关机"),
                              QStringLiteral("App_ShutQX=取消关机")}));
    }

    void onTopToggleFollowsTheBoard() {
        Fixture f;
        QAction *onTop = f.menu.entry(QStringLiteral("App_UpDown"));
        QVERIFY(!onTop->isChecked());
        onTop->trigger();
        QVERIFY(f.board.isOnTop());
        QVERIFY(onTop->isChecked());
        onTop->trigger();
        QVERIFY(!f.board.isOnTop());
        QVERIFY(!onTop->isChecked());
        f.board.setOnTop(true); // as the board's load does from F_up
        QVERIFY(onTop->isChecked());
    }

    void calendarCheckMirrorsTheBoard() {
        Fixture f;
        QAction *calendar = f.menu.entry(QStringLiteral("App_Wnl"));
        QSignalSpy toggle(&f.menu, &ProgramMenu::calendarToggleRequested);
        calendar->trigger();
        QCOMPARE(toggle.size(), 1);
        QVERIFY(!calendar->isChecked()); // only the calendar's owner changes it
        f.board.setCalendarChecked(true);
        QVERIFY(calendar->isChecked());
    }

    void helpOpensOnlyAnExistingFile() {
        Fixture f;
        f.menu.entry(QStringLiteral("App_Help"))->trigger();
        QVERIFY(f.shell.opened.isEmpty());
        const QString help = f.dir.filePath(QStringLiteral("软件使用帮助.txt"));
        writeBytes(help, "help");
        f.menu.entry(QStringLiteral("App_Help"))->trigger();
        QCOMPARE(f.shell.opened, QStringList{QStringLiteral("path:") + help});
    }

    void webPagesAndShutdownEntries() {
        Fixture f;
        // A build without a web site shows no entry that would lead nowhere.
        QStringList expected;
        for (const auto &[name, address] :
             {std::pair{QStringLiteral("App_Update"), ProgramMenu::updatePageAddress()},
              std::pair{QStringLiteral("App_Game"), ProgramMenu::gamesPageAddress()}}) {
            QCOMPARE(f.menu.entry(name)->isVisible(), !address.isEmpty());
            f.menu.entry(name)->trigger();
            if (!address.isEmpty())
                expected.append(QStringLiteral("url:") + address);
        }
        QCOMPARE(f.shell.opened, expected);
        f.menu.entry(QStringLiteral("App_ShutGJ"))->trigger();
        f.menu.entry(QStringLiteral("App_ShutQX"))->trigger();
        QCOMPARE(f.runner.calls.size(), 2);
        QCOMPARE(f.runner.calls[1], QStringLiteral("cancel"));
        f.dialogs.inputAnswers.enqueue(QStringLiteral("21:00:00"));
        f.menu.entry(QStringLiteral("App_Shuttime"))->trigger();
        QCOMPARE(f.values.ShutdownTime, QStringLiteral("21:00:00"));
    }

    void exitAndLaterWindowsAreSignals() {
        Fixture f;
        QSignalSpy exit(&f.menu, &ProgramMenu::exitRequested);
        QSignalSpy safe(&f.menu, &ProgramMenu::safeRequested);
        QSignalSpy settings(&f.menu, &ProgramMenu::settingsRequested);
        f.menu.entry(QStringLiteral("App_Box"))->trigger();
        f.menu.entry(QStringLiteral("App_Setup"))->trigger();
        f.menu.entry(QStringLiteral("App_Exit"))->trigger();
        QCOMPARE(safe.size(), 1);
        QCOMPARE(settings.size(), 1);
        QCOMPARE(exit.size(), 1);
    }
};

QTEST_MAIN(tst_ProgramMenu)
#include "tst_ProgramMenu.moc"
