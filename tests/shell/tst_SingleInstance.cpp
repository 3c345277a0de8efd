// SPDX-License-Identifier: MIT
#include "platform/SingleInstance.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_SingleInstance : public QObject {
    Q_OBJECT
private:
    static QString holderPath() {
        return qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/tests/lock_holder");
    }

    static QByteArray startHolder(QProcess &process, const QString &folder) {
        process.start(holderPath(), {folder});
        if (!process.waitForStarted() || !process.waitForReadyRead(10000))
            return {};
        return process.readLine().trimmed();
    }

private Q_SLOTS:
    void secondProcessIsRefusedWhileTheFirstRuns() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QProcess first;
        QCOMPARE(startHolder(first, folder), QByteArray("locked"));
        QProcess second;
        QCOMPARE(startHolder(second, folder), QByteArray("refused"));
        SingleInstance here(folder);
        QVERIFY(!here.acquire());
        first.closeWriteChannel();
        second.closeWriteChannel();
        QVERIFY(first.waitForFinished());
        QVERIFY(second.waitForFinished());
        SingleInstance after(folder);
        QVERIFY(after.acquire());
    }

    void lockOfAKilledProcessIsTakenOver() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QProcess holder;
        QCOMPARE(startHolder(holder, folder), QByteArray("locked"));
        holder.kill();
        QVERIFY(holder.waitForFinished());
        SingleInstance next(folder);
        QVERIFY(next.acquire());
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
