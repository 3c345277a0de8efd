// SPDX-License-Identifier: MIT
// Qt's own texts in the program's dialogs read Chinese, as the rest of the
// interface does, whatever the session's locale.
#include "platform/QtFileChoosers.h"
#include "platform/QtUserDialogs.h"
#include "platform/UiTranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_UiTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // An English session: the catalogue must not depend on it.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY2(installQtTranslations(*qApp),
                 "Qt's Chinese catalogue (Debian package qt6-translations-l10n) is not installed");
    }

    void messageBoxesAnswerInChinese() {
        QtUserDialogs dialogs;
        QStringList texts;
        QTimer::singleShot(0, qApp, [&texts] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *button : box->buttons())
                texts.append(button->text().remove(u'&'));
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!dialogs.askYesNo(QStringLiteral("是否继续？"), QString(), MessageIcon::Question));
        texts.sort();
        QStringList expected{QStringLiteral("是(Y)"), QStringLiteral("否(N)")};
        // Some catalogue versions give the bare words without mnemonics.
        QStringList bare{QStringLiteral("是"), QStringLiteral("否")};
        expected.sort();
        bare.sort();
        QVERIFY2(texts == expected || texts == bare, qPrintable(texts.join(u',')));

        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Ok)->text().remove(u'&'), QStringLiteral("确定"));
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("取消"));
    }

    void fileChoosersLabelThemselvesInChinese() {
        QTemporaryDir folder;
        QFileDialog dialog;
        QtFileChoosers::configureFileDialog(dialog, QStringLiteral("选择一个图片文件"),
                                            QStringLiteral("*.bmp;*.jpg;*.gif"), QStringLiteral("更换背景"),
                                            folder.path(), 1, QString());
        dialog.show();
        const auto label = [&dialog](const char *name) {
            auto *widget = dialog.findChild<QLabel *>(QString::fromLatin1(name));
            return widget ? widget->text() : QStringLiteral("<none>");
        };
        QVERIFY2(label("lookInLabel").startsWith(QStringLiteral("查找范围")),
                 qPrintable(label("lookInLabel")));
        QVERIFY2(label("fileNameLabel").startsWith(QStringLiteral("文件名")),
                 qPrintable(label("fileNameLabel")));
        QVERIFY2(label("fileTypeLabel").startsWith(QStringLiteral("文件类型")),
                 qPrintable(label("fileTypeLabel")));
        auto *box = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QVERIFY(box);
        QVERIFY2(box->button(QDialogButtonBox::Open)->text().contains(QStringLiteral("打开")),
                 qPrintable(box->button(QDialogButtonBox::Open)->text()));
    }
};

QTEST_MAIN(tst_UiTranslations)
#include "tst_UiTranslations.moc"
