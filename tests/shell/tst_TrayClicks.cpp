// SPDX-License-Identifier: MIT
#include "board/BoardModel.h"
#include "board/BoardSettings.h"
#include "common/ProcessValues.h"
#include "settings/SettingsFile.h"
#include "shell/CQLNotifyIcon.h"
#include "shell/TrayClicks.h"

#include "TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<QString>)

class tst_TrayClicks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutPasswordLeftClickToggles() {
        BoardModel board;
        RecordingDialogs dialogs;
        ProcessValues values;
        TrayClicks clicks(board, dialogs, values);
        clicks.leftClick();
        QVERIFY(board.isHidden());
        QCOMPARE(board.buttonCaption(0), QStringLiteral("口"));
        clicks.leftClick();
        QVERIFY(!board.isHidden());
        QCOMPARE(board.buttonCaption(0), QStringLiteral("X"));
        QVERIFY(dialogs.shown.isEmpty());
    }

    void passwordGuardsShowing_data() {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<bool>("shown");
        QTest::newRow("exact") << std::optional<QString>(QStringLiteral("Pa ss")) << true;
        QTest::newRow("blanks around are trimmed")
            << std::optional<QString>(QStringLiteral("   Pa ss  ")) << true;
        QTest::newRow("other letter case") << std::optional<QString>(QStringLiteral("pa ss")) << false;
        QTest::newRow("tab is not a blank") << std::optional<QString>(QStringLiteral("\tPa ss")) << false;
        QTest::newRow("empty") << std::optional<QString>(QString()) << false;
        QTest::newRow("cancel") << std::optional<QString>() << false;
    }
    void passwordGuardsShowing() {
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, shown);
        BoardModel board;
        board.hideToTray();
        RecordingDialogs dialogs;
        dialogs.inputAnswers.enqueue(answer);
        ProcessValues values;
        values.UserPassword = QStringLiteral("Pa ss");
        TrayClicks clicks(board, dialogs, values);
        clicks.leftClick();
        QCOMPARE(!board.isHidden(), shown);
        QCOMPARE(dialogs.shown[0].kind, QStringLiteral("input"));
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("请输入使用密码："));
        QCOMPARE(dialogs.shown[0].title, QStringLiteral("【Tackora】"));
        if (shown) {
            QCOMPARE(dialogs.shown.size(), 1);
        } else {
            QCOMPARE(dialogs.shown.size(), 2);
            QCOMPARE(dialogs.shown[1].text, QStringLiteral("用户密码不正确！您没有使用权！"));
            QCOMPARE(dialogs.shown[1].title, QStringLiteral("安全警告"));
            QCOMPARE(dialogs.shown[1].icon, MessageIcon::Critical);
        }
    }

    void hidingNeverAsksThePassword() {
        BoardModel board;
        RecordingDialogs dialogs;
        ProcessValues values;
        values.UserPassword = QStringLiteral("x");
        TrayClicks clicks(board, dialogs, values);
        clicks.leftClick();
        QVERIFY(board.isHidden());
        QVERIFY(dialogs.shown.isEmpty());
    }

    void rightClickAsksForTheMenuAlsoWhileHidden() {
        BoardModel board;
        board.hideToTray();
        RecordingDialogs dialogs;
        ProcessValues values;
        values.UserPassword = QStringLiteral("x");
        TrayClicks clicks(board, dialogs, values);
        QSignalSpy menu(&clicks, &TrayClicks::menuRequested);
        clicks.rightClick();
        QCOMPARE(menu.size(), 1);
        QVERIFY(dialogs.shown.isEmpty());
        QVERIFY(board.isHidden());
    }

    // Without a tray a hidden board could never come back: hiding minimises
    // it to the task list instead, and it stays "shown" for the next start.
    void withoutTrayHidingMinimises() {
        BoardModel board;
        board.setTrayAvailable(false);
        QSignalSpy minimise(&board, &BoardModel::minimizeRequested);
        board.hideToTray();
        QVERIFY(!board.isHidden());
        QCOMPARE(minimise.size(), 1);
        QCOMPARE(board.buttonCaption(0), QStringLiteral("X"));
        QCOMPARE(board.ShowMode(), QStringLiteral("a"));
    }

    void boardSavedHiddenStartsShownWithoutTray_data() {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("saved");
        QTest::newRow("tray") << true << true << QStringLiteral("b");
        QTest::newRow("no tray") << false << false << QStringLiteral("a");
    }
    void boardSavedHiddenStartsShownWithoutTray() {
        QFETCH(bool, tray);
        QFETCH(bool, hidden);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeBytes(settings.path(), "[SYSTEM]\r\nF_top=600\r\nF_left=900\r\nF_show=b\r\n");
        BoardModel board;
        board.setTrayAvailable(tray);
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QCOMPARE(board.isHidden(), hidden);
        SaveBoardSettings(board, settings);
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show")), saved);
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top")),
                 QStringLiteral("600"));
    }

    void boardFollowsTheTray() {
        struct Tray final : public TrayHost {
            using TrayHost::setAvailable;
            void showIcon(const QString &) override {}
            void setTip(const QString &) override {}
            void showBalloon(const QString &, const QString &, int) override {}
            void removeIcon() override {}
        } tray;
        tray.setAvailable(false);
        BoardModel board;
        followTrayAvailability(board, tray);
        QVERIFY(!board.isTrayAvailable());
        board.hideToTray();
        QVERIFY(!board.isHidden());
        tray.setAvailable(true);
        board.hideToTray();
        QVERIFY(board.isHidden());
        tray.setAvailable(false);
        QVERIFY(!board.isHidden());
    }

    void trayThatGoesSendsAHiddenBoardToTheTaskList() {
        BoardModel board;
        board.hideToTray();
        QSignalSpy minimise(&board, &BoardModel::minimizeRequested);
        board.setTrayAvailable(true);
        QCOMPARE(minimise.size(), 0);
        board.setTrayAvailable(false);
        QVERIFY(!board.isHidden());
        QCOMPARE(minimise.size(), 1);
        QCOMPARE(board.buttonCaption(0), QStringLiteral("X"));
        board.setTrayAvailable(true);
        QVERIFY(!board.isHidden());
        QCOMPARE(minimise.size(), 1);
    }

    // Another start of the program brings the board back, past the same
    // password question as the tray's click.
    void anotherStartBringsTheBoardBack_data() {
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("password");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("broughtBack");
        QTest::newRow("shown") << false << QStringLiteral("x") << std::optional<QString>() << false << true;
        QTest::newRow("hidden, no password")
            << true << QString() << std::optional<QString>() << false << true;
        QTest::newRow("hidden, right password")
            << true << QStringLiteral("x") << std::optional<QString>(QStringLiteral(" x ")) << true << true;
        QTest::newRow("hidden, wrong password")
            << true << QStringLiteral("x") << std::optional<QString>(QStringLiteral("y")) << true << false;
        QTest::newRow("hidden, cancelled")
            << true << QStringLiteral("x") << std::optional<QString>() << true << false;
    }
    void anotherStartBringsTheBoardBack() {
        QFETCH(bool, hidden);
        QFETCH(QString, password);
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, asked);
        QFETCH(bool, broughtBack);
        BoardModel board;
        if (hidden)
            board.hideToTray();
        RecordingDialogs dialogs;
        dialogs.inputAnswers.enqueue(answer);
        ProcessValues values;
        values.UserPassword = password;
        TrayClicks clicks(board, dialogs, values);
        QSignalSpy front(&board, &BoardModel::raiseRequested);
        clicks.bringBack();
        QCOMPARE(!dialogs.shown.isEmpty() && dialogs.shown[0].kind == u"input", asked);
        QCOMPARE(board.isHidden(), !broughtBack);
        QCOMPARE(front.size(), broughtBack ? 1 : 0);
    }

    void notifyIconCutsTextsToTheTraysSizes() {
        RecordingTrayHost host;
        {
            CQLNotifyIcon icon(host);
            icon.AddNotifyIcon(QString(100, QChar(u'中'))); // 200 bytes of GBK
            icon.ShowBubble(QStringLiteral("便笺提醒"), QStringLiteral("第一条"), 1);
            icon.ShowBubble(QString(40, QChar(u'题')), QString(300, QChar(u'x')), 1);
            icon.HideBubble();
        }
        QCOMPARE(host.calls.size(), 5);
        QCOMPARE(host.calls[0], QStringLiteral("show:") + QString(63, QChar(u'中')));
        QCOMPARE(host.calls[1], QStringLiteral("balloon:便笺提醒|第一条|1"));
        QCOMPARE(host.calls[2], QStringLiteral("balloon:") + QString(31, QChar(u'题')) + u'|' +
                                    QString(255, QChar(u'x')) + QStringLiteral("|1"));
        QCOMPARE(host.calls[3], QStringLiteral("balloon:||0"));
        // The icon goes with the object at the latest.
        QCOMPARE(host.calls[4], QStringLiteral("remove"));
    }

    void iconIsRemovedOnce() {
        RecordingTrayHost host;
        {
            CQLNotifyIcon icon(host);
            icon.AddNotifyIcon(QStringLiteral("Tackora V1.0"));
            icon.DeleteNotifyIcon();
        }
        QCOMPARE(host.calls, (QStringList{QStringLiteral("show:Tackora V1.0"), QStringLiteral("remove")}));
    }
};

QTEST_GUILESS_MAIN(tst_TrayClicks)
#include "tst_TrayClicks.moc"
