// SPDX-License-Identifier: MIT
#include "platform/QtFileChoosers.h"

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_FileChoosers : public QObject {
    Q_OBJECT

    // The names the dialog lists in its folder, once its model has them.
    static QStringList listedNames(QFileDialog &dialog) {
        auto *view = dialog.findChild<QAbstractItemView *>(QStringLiteral("listView"));
        QStringList names;
        QAbstractItemModel *model = view->model();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < model->rowCount(root); ++row)
            names.append(model->index(row, 0, root).data().toString());
        names.sort();
        return names;
    }

private Q_SLOTS:
    void texts_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("picture") << QStringLiteral("*.bmp;*.jpg;*.gif") << QStringLiteral("更换背景")
                                 << QStringLiteral("更换背景(*.bmp;*.jpg;*.gif)")
                                 << QStringList{QStringLiteral("*.bmp"), QStringLiteral("*.jpg"),
                                                QStringLiteral("*.gif")};
        QTest::newRow("all files") << QStringLiteral("*.*") << QStringLiteral("所有文件")
                                   << QStringLiteral("所有文件(*.*)") << QStringList{QStringLiteral("*")};
        QTest::newRow("no pattern") << QString() << QStringLiteral("ignored")
                                    << QStringLiteral("数据库文件(*.mdb)")
                                    << QStringList{QStringLiteral("*.mdb")};
    }
    void texts() {
        QFETCH(QString, pattern);
        QFETCH(QString, description);
        QFETCH(QString, caption);
        QFETCH(QStringList, patterns);
        QCOMPARE(ChooserText::filterCaption(pattern, description), caption);
        QCOMPARE(ChooserText::filterPatterns(pattern), patterns);
    }

    void foldersEndInOneSeparator() {
        QCOMPARE(ChooserText::withTrailingSeparator(QStringLiteral("/home/u/box")),
                 QStringLiteral("/home/u/box/"));
        QCOMPARE(ChooserText::withTrailingSeparator(QStringLiteral("/")), QStringLiteral("/"));
        QCOMPARE(ChooserText::withTrailingSeparator(QString()), QString());
    }

    void pictureChooserListsOnlyPicturesUnderItsCaption() {
        QTemporaryDir dir;
        for (const char *name : {"sea.jpg", "a.bmp", "b.gif", "notes.txt", "c.jpeg"})
            writeBytes(dir.filePath(QString::fromLatin1(name)), "x");
        QFileDialog dialog;
        QtFileChoosers::configureFileDialog(dialog, QStringLiteral("选择一个图片文件"),
                                            QStringLiteral("*.bmp;*.jpg;*.gif"), QStringLiteral("更换背景"),
                                            dir.path(), 1, QString());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("选择一个图片文件"));
        QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText(),
                 QStringLiteral("更换背景(*.bmp;*.jpg;*.gif)"));
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(listedNames(dialog).size(), 3, 5000);
        QCOMPARE(listedNames(dialog),
                 (QStringList{QStringLiteral("a.bmp"), QStringLiteral("b.gif"), QStringLiteral("sea.jpg")}));
    }

    void chosenNameKeepsItsBlanks_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("answer");
        QTest::newRow("name ending in a blank, beside the name without it")
            << QStringList{QStringLiteral("a.txt "), QStringLiteral("a.txt")} << 1 << QStringLiteral("a.txt ")
            << QStringLiteral("a.txt ");
        QTest::newRow("name ending in a blank, alone")
            << QStringList{QStringLiteral("b.txt ")} << 1 << QStringLiteral("b.txt ")
            << QStringLiteral("b.txt ");
        QTest::newRow("blank typed after a new name")
            << QStringList() << 2 << QStringLiteral("new.txt ") << QStringLiteral("new.txt");
    }
    void chosenNameKeepsItsBlanks() {
        QFETCH(QStringList, files);
        QFETCH(int, mode);
        QFETCH(QString, chosen);
        QFETCH(QString, answer);
        QTemporaryDir dir;
        for (const QString &file : files)
            writeBytes(dir.filePath(file), "x");
        QtFileChoosers choosers(dir.path() + u'/');
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(dir.filePath(chosen));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(choosers.ShowFileDialog(nullptr, QStringLiteral("t"), QStringLiteral("*.*"),
                                         QStringLiteral("d"), QString(), mode, QString()),
                 dir.filePath(answer));
    }

    void chosenFolderAndCancel() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        QtFileChoosers choosers(dir.path() + u'/');
        // Accept the folder chooser as soon as it shows, on the folder typed in.
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(dir.filePath(QStringLiteral("out")));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(
            choosers.BrowseForFolder(nullptr, QStringLiteral("请选择设定存储资料盒子文件的路径"), QString()),
            dir.filePath(QStringLiteral("out")) + u'/');
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QCOMPARE(choosers.ShowFileDialog(nullptr, QStringLiteral("t"), QStringLiteral("*.aes"),
                                         QStringLiteral("d"), QString(), 1, QString()),
                 QString());
        QCOMPARE(choosers.ShowFileDialog(nullptr, QStringLiteral("t"), QStringLiteral("*.aes"),
                                         QStringLiteral("d"), QString(), 3, QString()),
                 QString());
    }
};

QTEST_MAIN(tst_FileChoosers)
#include "tst_FileChoosers.moc"
