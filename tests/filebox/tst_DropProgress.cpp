// SPDX-License-Identifier: MIT
#include "common/ProcessValues.h"
#include "filebox/DropHandler.h"
#include "filebox/DropProgressDialog.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

    void aShortDropShowsNothing() {
        DropProgressDialog dialog(nullptr, 60'000);
        dialog.item(0, 1, QStringLiteral("/tmp/a"));
        dialog.bytes(1, 2);
        QVERIFY(!dialog.isShown());
    }
};

QTEST_MAIN(tst_DropProgress)
#include "tst_DropProgress.moc"
