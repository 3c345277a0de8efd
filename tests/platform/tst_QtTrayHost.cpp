// SPDX-License-Identifier: MIT
// A tray on the session bus: a stand-in for the desktop's
// StatusNotifierWatcher on a private bus (the program's session bus from its
// start), in a thread of its own so that it answers while the program waits
// on it. On a display without a tray host of its own, Qt's tray is this one.
#include "platform/QtTrayHost.h"

#include "PrivateBus.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

class StandInWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    std::atomic<bool> host{true};
    std::atomic<int> questions{0}; // every read of the host property

    bool isHostRegistered() const {
        ++const_cast<StandInWatcher *>(this)->questions;
        return host;
    }
    int protocolVersion() const { return 0; }
    QStringList items() const { return {}; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &) {}
    void RegisterStatusNotifierHost(const QString &) {}
};
} // namespace

class tst_QtTrayHost : public QObject {
    Q_OBJECT

    const QString m_address;
    QThread m_watcherThread;
    StandInWatcher *m_watcher = nullptr;

    void announce(const char *signal) {
        QDBusConnection watcher(QStringLiteral("watcher"));
        QVERIFY(
            watcher.send(QDBusMessage::createSignal(kWatcherPath, kWatcherService, QLatin1String(signal))));
    }

public:
    explicit tst_QtTrayHost(QString address)
        : m_address(std::move(address)) {}

private Q_SLOTS:
    void initTestCase() {
        if (m_address.isNull())
            QSKIP("dbus-daemon (Debian package dbus) is not installed");
        QVERIFY(!m_address.isEmpty());
        m_watcher = new StandInWatcher;
        QDBusConnection watcher = QDBusConnection::connectToBus(m_address, QStringLiteral("watcher"));
        QVERIFY(watcher.isConnected());
        QVERIFY(watcher.registerObject(kWatcherPath, m_watcher, QDBusConnection::ExportAllContents));
        m_watcher->moveToThread(&m_watcherThread);
        m_watcherThread.start();
        QVERIFY(watcher.registerService(kWatcherService));
    }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
        m_watcherThread.quit();
        m_watcherThread.wait();
        delete m_watcher;
    }

    // A host that goes and comes back while the watcher stays is followed
    // when the watcher says so, and the tray is not asked in between.
    void hostsFollowedWithoutAsking() {
        QtTrayHost tray(QIcon(QStringLiteral(":/nothing.png")));
        QVERIFY(tray.isAvailable());
        QTest::qWait(3000); // past the start, and past the two seconds a poll would take
        const int asked = m_watcher->questions;
        QTest::qWait(4500);
        QCOMPARE(m_watcher->questions.load(), asked);

        QSignalSpy changes(&tray, &TrayHost::availabilityChanged);
        m_watcher->host = false;
        announce("StatusNotifierHostUnregistered");
        QTRY_VERIFY_WITH_TIMEOUT(!tray.isAvailable(), 1500);
        m_watcher->host = true;
        announce("StatusNotifierHostRegistered");
        QTRY_VERIFY_WITH_TIMEOUT(tray.isAvailable(), 1500);
        QCOMPARE(changes.size(), 2);
    }
};

int main(int argc, char *argv[]) {
    // Before the application: Qt may reach for the session bus as it starts.
    PrivateBus bus;
    QString address;
    if (bus.start(QStringLiteral("<type>session</type><policy context=\"default\">"
                                 "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                 "<allow own=\"*\"/></policy>"))) {
        address = bus.address().isNull() ? QStringLiteral("") : bus.address();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    QApplication application(argc, argv);
    tst_QtTrayHost test(address);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_QtTrayHost.moc"
