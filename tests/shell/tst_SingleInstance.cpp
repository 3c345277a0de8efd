// SPDX-License-Identifier: MIT
#include "platform/SingleInstance.h"

#include "SpecialFiles.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
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

    void anotherCopyAsksTheRunningOneToShow() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        SingleInstance running(folder);
        QVERIFY(running.acquire());
        QSignalSpy asked(&running, &SingleInstance::showRequested);
        SingleInstance another(folder);
        QVERIFY(!another.acquire());
        QVERIFY(another.askRunningCopyToShow());
        QTRY_COMPARE(asked.size(), 1);
        QVERIFY(another.askRunningCopyToShow());
        QTRY_COMPARE(asked.size(), 2);
        // Only this user may ask.
        const QFileInfo channel(SingleInstance::channelPath(folder));
        QCOMPARE(channel.permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFileDevice::Permissions());
    }

    void onlyTheCopyOfTheSameFolderIsAsked() {
        QTemporaryDir dir;
        const QString one = dir.path() + QStringLiteral("/one/");
        const QString two = dir.path() + QStringLiteral("/two/");
        QVERIFY(QDir().mkpath(one) && QDir().mkpath(two));
        SingleInstance running(one);
        QVERIFY(running.acquire());
        QSignalSpy asked(&running, &SingleInstance::showRequested);
        SingleInstance other(two);
        QVERIFY(!other.askRunningCopyToShow()); // nobody runs there
        QVERIFY(other.acquire());
        QTest::qWait(100);
        QCOMPARE(asked.size(), 0);
    }

    // A copy that died leaves its socket behind; the next copy listens anyway.
    void socketOfACopyThatDiedIsReplaced() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QVERIFY(makeSocket(SingleInstance::channelPath(folder))); // bound once, its listener gone
        SingleInstance next(folder);
        QVERIFY(next.acquire());
        QSignalSpy asked(&next, &SingleInstance::showRequested);
        SingleInstance another(folder);
        QVERIFY(another.askRunningCopyToShow());
        QTRY_COMPARE(asked.size(), 1);
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
