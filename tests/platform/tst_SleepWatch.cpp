// SPDX-License-Identifier: MIT
// Sleeps as logind announces them: on a private bus, a stand-in owning
// logind's name sends PrepareForSleep.
#include "platform/SleepWatch.h"

#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
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

    PrivateBus m_bus;
    QString m_address;

private Q_SLOTS:
    void initTestCase() {
        if (!m_bus.start(QStringLiteral("<type>system</type><policy context=\"default\">"
                                        "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                        "<allow own=\"*\"/></policy>")))
            QSKIP("dbus-daemon (Debian package dbus) is not installed");
        m_address = m_bus.address();
        QVERIFY(!m_address.isEmpty());
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
