// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "crypto/CryptoHelpers.h"
#include "filebox/DropHandler.h"
#include "filebox/DropProgressDialog.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {
// Recording dialogs that also look, while each question is up, at what else
// the screen shows; a question takes its time, as a person does.
class WatchingDialogs final : public UserDialogs {
public:
    void message(const QString &text, const QString &title, MessageIcon icon) override {
        watch();
        recorded.message(text, title, icon);
    }
    bool askYesNo(const QString &text, const QString &title, MessageIcon icon) override {
        watch();
        return recorded.askYesNo(text, title, icon);
    }
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &text) override {
        watch();
        return recorded.input(prompt, title, text);
    }
    void watch() {
        QTest::qWait(100);
        if (look)
            look();
    }

    RecordingDialogs recorded;
    std::function<void()> look;
};

bool waitCursorShown() {
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}
} // namespace

class tst_DropProgress : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aCopiedItemReportsItsBytesAndTheDialogNamesIt() {
        QTemporaryDir dir;
        RecordingDialogs dialogs;
        RecordingStatus status;
        ProcessValues values;
        DropHandler handler(dialogs, status, values, dir.path() + u'/');
        std::array<DropCategory, 9> categories;
        for (int i = 0; i < 9; ++i)
            categories[i] = {QStringLiteral("c%1").arg(i), dir.filePath(QStringLiteral("box/c%1/").arg(i))};
        // A read-only file is copied, not renamed, so its bytes are counted.
        const QString source = dir.filePath(QStringLiteral("big.bin"));
        const qint64 size = 3 * 1024 * 1024 + 17;
        writeBytes(source, QByteArray(size, 'b'));
        QFile::setPermissions(source, QFile::ReadOwner);
        const QString other = dir.filePath(QStringLiteral("small.txt"));
        writeBytes(other, "s");

        DropProgressDialog dialog(nullptr, 0);
        QStringList items;
        std::uint64_t lastDone = 0;
        std::uint64_t lastTotal = 0;
        handler.progress = [&](int done, int total, const QString &item) {
            items.append(QStringLiteral("%1/%2 ").arg(done).arg(total) + item);
            dialog.item(done, total, item);
        };
        handler.itemBytes = [&](std::uint64_t done, std::uint64_t total) {
            QVERIFY(done >= lastDone || done <= total);
            lastDone = done;
            lastTotal = total;
            dialog.bytes(done, total);
        };
        QVERIFY(handler.drop(0, {source, other}, categories));
        QCOMPARE(items, (QStringList{QStringLiteral("0/2 ") + source, QStringLiteral("1/2 ") + other}));
        QCOMPARE(lastTotal, std::uint64_t(size));
        QCOMPARE(lastDone, std::uint64_t(size));
        QVERIFY(QFile::exists(source)); // read-only: copied and kept
        QCOMPARE(QFileInfo(categories[0].folder + QStringLiteral("big.bin")).size(), size);

        // Past its delay (none here) the dialog is up and names the item.
        QVERIFY(dialog.isShown());
        dialog.item(0, 2, source);
        dialog.bytes(1024 * 1024, std::uint64_t(size));
        QVERIFY(dialog.labelText().startsWith(QStringLiteral("第 1/2 项：") + source + u'\n'));
        QVERIFY(dialog.labelText().contains(QStringLiteral("1.00 MiB / 3.00 MiB")));
    }

    void noProgressWindowNorBusyPointerWhileTheDropAsks_data() {
        QTest::addColumn<bool>("keySet");
        QTest::addColumn<QString>("question");
        QTest::newRow("no key yet, then the settings")
            << false
            << QStringLiteral("基于安全，加密文本需要设定一个固定的安全密匙，而密匙尚未设置，是否现在设置？");
        QTest::newRow("overwrite, after an item")
            << true << QStringLiteral("保险柜目录已存在同名文件，是否覆盖？");
    }
    void noProgressWindowNorBusyPointerWhileTheDropAsks() {
        QFETCH(bool, keySet);
        QFETCH(QString, question);
        QTemporaryDir dir;
        WatchingDialogs dialogs;
        RecordingStatus status;
        ProcessValues values;
        values.MasterKey = QStringLiteral("master");
        if (keySet)
            values.SecurityKey = EncryptString(QStringLiteral("key"), values.MasterKey);
        DropHandler handler(dialogs, status, values, dir.path() + u'/');
        std::array<DropCategory, 9> categories;
        for (int i = 0; i < 9; ++i)
            categories[i] = {QStringLiteral("保险柜"), dir.filePath(QStringLiteral("box/c%1/").arg(i))};
        const QString first = dir.filePath(QStringLiteral("first.txt"));
        const QString second = dir.filePath(QStringLiteral("second.txt"));
        writeBytes(first, QByteArray(1 << 20, 'f'));
        writeBytes(second, "s");
        QDir().mkpath(categories[8].folder);
        writeBytes(categories[8].folder + QStringLiteral("second.txt.aes"), "old");

        auto dialog = std::make_unique<DropProgressDialog>(nullptr, 0);
        dialog->follow(handler);
        QVERIFY(waitCursorShown());
        QStringList seen;
        const auto look = [&](const QString &when) {
            if (dialog->isShown())
                seen.append(when + QStringLiteral(": progress window"));
            if (waitCursorShown())
                seen.append(when + QStringLiteral(": busy pointer"));
        };
        dialogs.look = [&] { look(QStringLiteral("question")); };
        int settingsOpened = 0;
        handler.openSettings = [&] {
            ++settingsOpened;
            QTest::qWait(100);
            look(QStringLiteral("settings"));
        };
        dialogs.recorded.yesNoAnswers.enqueue(true);
        handler.drop(8, {first, second}, categories);
        QCOMPARE(dialogs.recorded.shown.size(), 1);
        QCOMPARE(dialogs.recorded.shown[0].text, question);
        QCOMPARE(settingsOpened, keySet ? 0 : 1);
        QCOMPARE(seen, QStringList());
        // Both back once the question is answered: the window with the next item.
        QVERIFY(waitCursorShown());
        QCOMPARE(dialog->isShown(), keySet);
        dialog.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!handler.progress && !handler.itemBytes && !handler.asking);
    }

    void aShortDropShowsNothing() {
        DropProgressDialog dialog(nullptr, 60'000);
        dialog.item(0, 1, QStringLiteral("/tmp/a"));
        dialog.bytes(1, 2);
        QVERIFY(!dialog.isShown());
    }
};

QTEST_MAIN(tst_DropProgress)
#include "tst_DropProgress.moc"
