// SPDX-License-Identifier: MIT
// Sleeps as logind announces them: on a private bus, a stand-in owning
// logind's name sends PrepareForSleep.
#include "platform/SleepWatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
QDBusMessage prepareForSleep(bool start) {
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                                     QStringLiteral("PrepareForSleep"));
    signal << start;
    return signal;
}
} // namespace

class tst_SleepWatch : public QObject {
    Q_OBJECT

    QTemporaryDir m_busFolder;
    QProcess m_daemon;
    QString m_address;

private Q_SLOTS:
    void initTestCase() {
        const QString config = m_busFolder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("<busconfig><type>system</type><listen>unix:dir=%1</listen>"
                                  "<policy context=\"default\"><allow send_destination=\"*\"/>"
                                  "<allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>")
                       .arg(m_busFolder.path())
                       .toUtf8());
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted(5000))
            QSKIP("dbus-daemon (Debian package dbus) is not installed");
        QTRY_VERIFY_WITH_TIMEOUT(m_daemon.canReadLine(), 5000);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    void cleanupTestCase() {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    // logind's signal is heard; the same signal from another program is not.
    void sleepAndResumeFromLogindOnly() {
        QDBusConnection logind = QDBusConnection::connectToBus(m_address, QStringLiteral("logind"));
        QDBusConnection other = QDBusConnection::connectToBus(m_address, QStringLiteral("other"));
        QDBusConnection program = QDBusConnection::connectToBus(m_address, QStringLiteral("program"));
        QVERIFY(logind.isConnected() && other.isConnected() && program.isConnected());
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        SleepWatch watch(program);
        QVERIFY(watch.watching());
        QSignalSpy asleep(&watch, &SleepWatch::aboutToSleep);
        QSignalSpy resumed(&watch, &SleepWatch::resumed);
        QVERIFY(other.send(prepareForSleep(false)));
        QVERIFY(logind.send(prepareForSleep(true)));
        QTRY_COMPARE(asleep.size(), 1);
        QVERIFY(logind.send(prepareForSleep(false)));
        QTRY_COMPARE(resumed.size(), 1);
        QTest::qWait(100);
        QCOMPARE(resumed.size(), 1); // the other program's came first and went unheard
        QCOMPARE(asleep.size(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    }

    void noBusNoWatch() {
        SleepWatch watch(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                       QStringLiteral("none")));
        QVERIFY(!watch.watching());
        QDBusConnection::disconnectFromBus(QStringLiteral("none"));
    }
};

QTEST_GUILESS_MAIN(tst_SleepWatch)
#include "tst_SleepWatch.moc"
