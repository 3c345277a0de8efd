// SPDX-License-Identifier: MIT
#include "board/BoardLayout.h"
#include "board/BoardModel.h"
#include "board/BoardSettings.h"
#include "common/ProcessValues.h"
#include "settings/SettingsDefaults.h"
#include "settings/SettingsFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString setting(const SettingsFile &settings, const char16_t *key) {
    return settings.ReadSetting(QStringLiteral("SYSTEM"), QString::fromUtf16(key));
}
} // namespace

class tst_BoardSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panelStateRoundTrip_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("captions"); // LabAn(0), (2), (5)
        QTest::addColumn<QString>("saved");
        QTest::newRow("a") << QStringLiteral("a") << 10970 << QStringLiteral("XXX") << QStringLiteral("a");
        QTest::newRow("b hidden") << QStringLiteral("b") << 10970 << QStringLiteral("口XX")
                                  << QStringLiteral("b");
        QTest::newRow("c memo closed")
            << QStringLiteral("c") << 1456 << QStringLiteral("X口X") << QStringLiteral("c");
        QTest::newRow("d file box closed")
            << QStringLiteral("d") << 5671 << QStringLiteral("XX口") << QStringLiteral("d");
        QTest::newRow("unknown opens all")
            << QStringLiteral("x") << 10970 << QStringLiteral("XXX") << QStringLiteral("a");
        QTest::newRow("empty opens all")
            << QString() << 10970 << QStringLiteral("XXX") << QStringLiteral("a");
    }
    void panelStateRoundTrip() {
        QFETCH(QString, stored);
        QFETCH(int, height);
        QFETCH(QString, captions);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show"), stored);
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QCOMPARE(board.height(), height);
        QCOMPARE(board.buttonCaption(0) + board.buttonCaption(2) + board.buttonCaption(5), captions);
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_show"), saved);
    }

    void laterCloseButtonsWinWhenSaving() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        BoardModel board;
        board.clickFileBoxClose();
        board.clickMemoClose();
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_show"), QStringLiteral("c"));
        board.hideToTray();
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_show"), QStringLiteral("b"));
    }

    void collapseAndExpandHeights() {
        BoardModel board;
        board.clickFileBoxClose();
        QCOMPARE(board.height(), BoardLayout::kFileBoxClosedHeight);
        QCOMPARE(board.height(), 5671);
        board.clickMemoClose();
        QCOMPARE(board.height(), 1456);
        board.clickMemoClose(); // opens every panel again
        QCOMPARE(board.height(), 10970);
        QCOMPARE(board.buttonCaption(5), QStringLiteral("X"));
        board.clickMemoClose();
        board.clickFileBoxClose(); // the file box's button leaves the memo panel as it is
        QCOMPARE(board.buttonCaption(2), QStringLiteral("口"));
        QCOMPARE(board.buttonCaption(5), QStringLiteral("口"));
        board.clickFileBoxClose();
        QCOMPARE(board.height(), 10970);
        QCOMPARE(board.buttonCaption(2), QStringLiteral("口"));
    }

    void positionLockOnTopAndCalendar_data() {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QString>("up");
        QTest::addColumn<QString>("calendar");
        QTest::addColumn<QString>("savedLock");
        QTest::addColumn<QString>("savedUp");
        QTest::addColumn<QString>("savedCalendar");
        QTest::newRow("all on") << QStringLiteral("y") << QStringLiteral("1") << QStringLiteral("y")
                                << QStringLiteral("y") << QStringLiteral("1") << QStringLiteral("y");
        QTest::newRow("first-start values")
            << QStringLiteral("n") << QStringLiteral("0") << QStringLiteral("1") << QStringLiteral("n")
            << QStringLiteral("0") << QStringLiteral("n");
        QTest::newRow("odd values read as no")
            << QStringLiteral("Y") << QStringLiteral("y") << QStringLiteral("yes") << QStringLiteral("n")
            << QStringLiteral("0") << QStringLiteral("n");
    }
    void positionLockOnTopAndCalendar() {
        QFETCH(QString, lock);
        QFETCH(QString, up);
        QFETCH(QString, calendar);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        const QString system = QStringLiteral("SYSTEM");
        settings.WriteSetting(system, QStringLiteral("F_top"), QStringLiteral("1500"));
        settings.WriteSetting(system, QStringLiteral("F_left"), QStringLiteral("9000"));
        settings.WriteSetting(system, QStringLiteral("F_lock"), lock);
        settings.WriteSetting(system, QStringLiteral("F_up"), up);
        settings.WriteSetting(system, QStringLiteral("F_calendar"), calendar);
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QCOMPARE(board.top(), 1500);
        QCOMPARE(board.left(), 9000);
        QCOMPARE(board.buttonCaption(1), lock == u"y" ? QStringLiteral("一") : QStringLiteral("O"));
        SaveBoardSettings(board, settings);
        QTEST(setting(settings, u"F_lock"), "savedLock");
        QTEST(setting(settings, u"F_up"), "savedUp");
        QTEST(setting(settings, u"F_calendar"), "savedCalendar");
        QCOMPARE(setting(settings, u"F_top"), QStringLiteral("1500"));
        QCOMPARE(setting(settings, u"F_left"), QStringLiteral("9000"));
        QCOMPARE(setting(settings, u"F_height"), QStringLiteral("10970"));
        QCOMPARE(setting(settings, u"F_width"), QStringLiteral("4695"));
    }

    void lowBoardIsStoredAtTheTop() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        BoardModel board;
        board.setPosition(12000, 300);
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_top"), QStringLiteral("0"));
        QCOMPARE(setting(settings, u"F_left"), QStringLiteral("300"));
        board.setPosition(10000, 300);
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_top"), QStringLiteral("10000"));
    }

    void hiddenBoardKeepsItsStoredPosition() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_top"), QStringLiteral("600"));
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_left"), QStringLiteral("700"));
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_show"), QStringLiteral("b"));
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        board.setPosition(3000, 3000);
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_top"), QStringLiteral("600"));
        QCOMPARE(setting(settings, u"F_left"), QStringLiteral("700"));
        QCOMPARE(setting(settings, u"F_show"), QStringLiteral("b"));
        QCOMPARE(setting(settings, u"F_height"), QString());
    }

    void transparencyAsksForItsTimer_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("timer");
        QTest::newRow("a") << QStringLiteral("a") << 0;
        QTest::newRow("b") << QStringLiteral("b") << 1;
        QTest::newRow("c") << QStringLiteral("c") << 2;
        QTest::newRow("x stays opaque") << QStringLiteral("x") << -1;
    }
    void transparencyAsksForItsTimer() {
        QFETCH(QString, code);
        QFETCH(int, timer);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_transparent"), code);
        BoardModel board;
        QSignalSpy timers(&board, &BoardModel::timer2Requested);
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QCOMPARE(timers.size(), timer < 0 ? 0 : 1);
        if (timer >= 0)
            QCOMPARE(timers[0][0].toInt(), timer);
        SaveBoardSettings(board, settings);
        QCOMPARE(setting(settings, u"F_transparent"), code);
    }

    void fileBoxRootIsRepairedAndFoldersCreated() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path"),
                              QStringLiteral("C:\\Tackora\\filebox"));
        settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_list"),
                              QStringLiteral("公文公文报告|报告||图片|音乐|视频|软件|资料|保险柜"));
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        const QString root = settings.AppFolder() + QStringLiteral("filebox");
        QCOMPARE(board.fileBoxRoot(), root);
        QCOMPARE(settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path")), root);
        QCOMPARE(board.categories()[0].caption, QStringLiteral("公文公文"));
        QCOMPARE(board.categories()[2].caption,
                 QStringLiteral("报表")); // empty entry keeps the design caption
        QCOMPARE(board.categories()[8].folder, root + QStringLiteral("/保险柜/"));
        for (const Category &category : board.categories())
            QVERIFY2(QFileInfo(category.folder).isDir(), qPrintable(category.folder));
        QVERIFY(QFileInfo(root + QStringLiteral("/公文公文")).isDir());
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/公文公文报告")));
    }

    void captionThatIsNoFolderNameGetsNoFolder_data() {
        QTest::addColumn<QString>("caption");
        QTest::newRow("up and across") << QStringLiteral("../x");
        QTest::newRow("a separator") << QStringLiteral("a/b");
        QTest::newRow("the parent") << QStringLiteral("..");
        QTest::newRow("the root itself") << QStringLiteral(".");
        QTest::newRow("a backslash") << QStringLiteral("a\\b");
    }
    void captionThatIsNoFolderNameGetsNoFolder() {
        QFETCH(QString, caption);
        // The program folder one level down, so that "../" stays in the test's folder.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("app")));
        const SettingsFile settings(dir.filePath(QStringLiteral("app")));
        writeDefaultSettings(settings);
        // On an ordinary tile and on the safe.
        settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_list"),
                              caption + QStringLiteral("|报告|报表|图片|音乐|视频|软件|资料|") + caption);
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);

        const QString root = settings.AppFolder() + QStringLiteral("filebox");
        QCOMPARE(board.fileBoxRoot(), root);
        for (const int refused : {0, 8}) {
            const Category &category = board.categories()[refused];
            QCOMPARE(category.caption, caption);
            QVERIFY(category.folder.isEmpty());
            // Hovering says why, naming the caption.
            QVERIFY2(category.hoverText().contains(u'“' + caption + u'”') &&
                         category.hoverText().contains(QStringLiteral("不能用作文件夹名")),
                     qPrintable(category.hoverText()));
        }
        QCOMPARE(board.categories()[1].hoverText(), board.categories()[1].folder);
        // Nothing but the root and the seven good folders was made.
        QStringList made;
        QDirIterator walk(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
        while (walk.hasNext())
            made.append(QDir(dir.path()).relativeFilePath(walk.next()));
        made.sort();
        QStringList expected{QStringLiteral("app"), QStringLiteral("app/filebox"),
                             QStringLiteral("app/setup.ini")};
        for (int i = 1; i < 8; ++i) {
            QCOMPARE(board.categories()[i].folder, root + u'/' + board.categories()[i].caption + u'/');
            expected.append(QStringLiteral("app/filebox/") + board.categories()[i].caption);
        }
        expected.sort();
        QCOMPARE(made, expected);
    }

    void existingRootWithTrailingSeparatorIsKept() {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const SettingsFile settings(dir.path());
        const QString root = elsewhere.path() + u'/';
        settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path"), root);
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QCOMPARE(board.fileBoxRoot(), root);
        QCOMPARE(board.categories()[0].folder, root + QStringLiteral("公文/"));
        QVERIFY(QFileInfo(root + QStringLiteral("公文")).isDir());
    }

    void coloursUserAndPassword() {
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeDefaultSettings(settings);
        settings.WriteSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_color"),
                              QStringLiteral("&H000000FF&||junk"));
        settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_name"), QStringLiteral("小明"));
        settings.WriteSetting(QStringLiteral("USERINFO"), QStringLiteral("U_pass"), QStringLiteral("abc"));
        settings.WriteSetting(QStringLiteral("SYSTEM"), QStringLiteral("S_key"), QStringLiteral("0123ABCD"));
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QVERIFY(board.categories()[0].hasTileColour);
        QCOMPARE(board.categories()[0].tileColour, quint32(0xFF));
        QCOMPARE(board.categories()[1].tileColour, quint32(0x00C0E0FF)); // empty entry: the design colour
        QVERIFY(board.categories()[2].hasTileColour);
        QCOMPARE(board.categories()[2].tileColour, quint32(0));
        QCOMPARE(board.captionColourText(), QStringLiteral("&H00000000&"));
        QCOMPARE(board.userNameText(), QStringLiteral("[小明]"));
        QCOMPARE(values.UserPassword, QStringLiteral("abc"));
        QCOMPARE(values.SecurityKey, QStringLiteral("0123ABCD"));
    }

    void badFilesFallBackWithoutRewritingTheUsersBytes_data() {
        QTest::addColumn<QByteArray>("file");
        QByteArray garbage(2048, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 37 + 11) & 0xFF);
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("100 KB line") << QByteArray("[SYSTEM]\r\nF_top=") + QByteArray(100 * 1024, '9') +
                                            "\r\n";
        QTest::newRow("no sections") << QByteArray("F_top=100\r\nF_show=c\r\n");
        QTest::newRow("invalid GBK") << bytes(
            "[SYSTEM]\r\nF_top=\x81\x20\xFF\r\n[FILEBOX]\r\nFB_list=\xFE|\x81\r\n");
        QTest::newRow("non-numeric positions") << QByteArray("[SYSTEM]\r\nF_top=top\r\nF_left=--5\r\n");
    }
    void badFilesFallBackWithoutRewritingTheUsersBytes() {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        const SettingsFile settings(dir.path());
        writeBytes(settings.path(), file);
        BoardModel board;
        ProcessValues values;
        LoadBoardSettings(board, settings, values);
        QCOMPARE(board.top(), 0);
        QCOMPARE(board.left(), 0);
        QVERIFY(!board.isLocked());
        QVERIFY(QFileInfo(board.fileBoxRoot()).isDir());
        // The only change is the repaired root, appended as its own section.
        const QByteArray after = readBytes(settings.path());
        QVERIFY(after.startsWith(file));
        QCOMPARE(settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_path")),
                 board.fileBoxRoot());
    }
};

QTEST_GUILESS_MAIN(tst_BoardSettings)
#include "tst_BoardSettings.moc"
