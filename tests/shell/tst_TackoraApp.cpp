// SPDX-License-Identifier: MIT
// The whole program in this process, offscreen: a desktop without a tray.
#include "app/CommandLine.h"
#include "app/TackoraApp.h"
#include "platform/SingleInstance.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <csignal>

namespace {

CommandLine commandLine(const QString &home, bool splash) {
    QStringList arguments{QStringLiteral("tackora"), QStringLiteral("--home"), home};
    if (!splash)
        arguments.append(QStringLiteral("--no-splash"));
    return parseCommandLine(arguments, QCoreApplication::applicationDirPath());
}

QWidget *board() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == u"Q_MAIN")
            return widget;
    }
    return nullptr;
}

} // namespace

class tst_TackoraApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("needs a desktop without a tray (the offscreen platform has none)");
    }

    // The program's end leaves every event loop ending; the next test starts
    // with the application as new.
    void cleanup() {
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }

    void boardSavedHiddenStartsShownWithoutTray() {
        QTemporaryDir home;
        const SettingsFile settings(home.path());
        writeBytes(settings.path(), "[SYSTEM]\r\nF_top=600\r\nF_left=900\r\nF_show=b\r\n");
        TackoraApp app(commandLine(home.path(), false));
        QVERIFY(app.start());
        QVERIFY(board());
        QVERIFY(board()->isVisible());
        app.unload();
        QCOMPARE(settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show")),
                 QStringLiteral("a"));
    }

    void anotherStartBringsBackAMinimisedBoard() {
        QTemporaryDir home;
        TackoraApp app(commandLine(home.path(), false));
        QVERIFY(app.start());
        QWidget *shown = board();
        QVERIFY(shown);
        shown->showMinimized();
        QVERIFY(shown->isVisible());
        SingleInstance another(home.path() + u'/');
        QVERIFY(!another.acquire());
        QVERIFY(another.askRunningCopyToShow());
        QTRY_VERIFY(!shown->isMinimized());
        QVERIFY(shown->isVisible());
        app.unload();
    }

    // A termination signal ends the splash's pause at once: no board, and the
    // settings as they were (no layout was loaded, none is saved).
    void terminationDuringTheSplashEndsTheStart() {
        QTemporaryDir home;
        const SettingsFile settings(home.path());
        const QByteArray stored = "[SYSTEM]\r\nF_top=600\r\nF_left=900\r\nF_show=c\r\n";
        writeBytes(settings.path(), stored);
        TackoraApp app(commandLine(home.path(), true));
        QTimer::singleShot(300, [] { std::raise(SIGTERM); });
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!app.start());
        QVERIFY2(timer.elapsed() < 1000, "the pause lasts a second at least");
        QVERIFY(!board());
        QCOMPARE(readBytes(settings.path()), stored);
    }
};

QTEST_MAIN(tst_TackoraApp)
#include "tst_TackoraApp.moc"
