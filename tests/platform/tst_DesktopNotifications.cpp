// SPDX-License-Identifier: MIT
// Balloons reach the desktop's notification service: on a private session bus
// of its own, a recording service stands in for the desktop's.
#include "platform/DesktopNotifications.h"

#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMetaType>
#include <QTest>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");

struct Received {
    QString appName;
    uint replacesId = 0;
    QString summary;
    QString body;
    QStringList hintNames;
    int timeout = 0;
};

// The part of the notification interface a balloon uses, recording each call.
class RecordingService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<Received> received;
    QList<uint> closed;
    bool refuse = false;

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int timeout) {
        if (refuse)
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("do not disturb"));
        received.append({appName, replacesId, summary, body, hints.keys(), timeout});
        return uint(received.size() + 40);
    }
    void CloseNotification(uint id) { closed.append(id); }
};
} // namespace

class tst_DesktopNotifications : public QObject {
    Q_OBJECT

    PrivateBus m_bus;
    QString m_address;

private Q_SLOTS:
    void initTestCase() {
        // A bus of its own that starts no services: the machine's notification
        // daemon (dunst, say) must not answer in place of the test's.
        if (!m_bus.start(
                QStringLiteral("<type>session</type><servicedir>%1</servicedir><policy context=\"default\">"
                               "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                               "<allow own=\"*\"/></policy>")))
            QSKIP("dbus-daemon (Debian package dbus) is not installed");
        m_address = m_bus.address();
        QVERIFY(!m_address.isEmpty());
    }

    void noServiceMeansTheTrayBalloonServes() {
        QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("empty"));
        QVERIFY(bus.isConnected());
        DesktopNotifications notifications(QImage(), QStringLiteral("org.tackora.Tackora"), bus);
        QVERIFY(!notifications.available());
        QVERIFY(!notifications.notify(QStringLiteral("便笺提醒"), QStringLiteral("开会"), 1));
        QDBusConnection::disconnectFromBus(QStringLiteral("empty"));
    }

    void balloonsReachTheServiceAndReplaceEachOther() {
        QDBusConnection serviceBus = QDBusConnection::connectToBus(m_address, QStringLiteral("service"));
        RecordingService service;
        QVERIFY(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                          QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(kService));

        QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("program"));
        QImage icon(48, 48, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        DesktopNotifications notifications(icon, QStringLiteral("org.tackora.Tackora"), bus);
        QVERIFY(notifications.available());
        QVERIFY(notifications.notify(QStringLiteral("便笺提醒"), QStringLiteral("开会：三楼"), 1));
        QTRY_COMPARE(service.received.size(), 1);
        const Received first = service.received[0];
        QCOMPARE(first.summary, QStringLiteral("便笺提醒"));
        QCOMPARE(first.body, QStringLiteral("开会：三楼"));
        QCOMPARE(first.replacesId, 0u);
        QCOMPARE(first.timeout, DesktopNotifications::kTimeoutMs);
        QVERIFY(first.hintNames.contains(QStringLiteral("image-data")));
        QVERIFY(first.hintNames.contains(QStringLiteral("desktop-entry")));

        // The next one takes the place of the first, as the tray's one balloon does.
        QTest::qWait(50);
        QVERIFY(notifications.notify(QStringLiteral("资料盒子"), QStringLiteral("已移动"), 1));
        QTRY_COMPARE(service.received.size(), 2);
        QCOMPARE(service.received[1].replacesId, 41u);

        QTest::qWait(50);
        notifications.closeLast();
        QTRY_COMPARE(service.closed, QList<uint>{42u});

        // A service that refuses gives the balloon back to the caller.
        service.refuse = true;
        QList<QString> failedTitles;
        connect(&notifications, &DesktopNotifications::failed, this,
                [&failedTitles](const QString &title, const QString &, int) { failedTitles.append(title); });
        QVERIFY(notifications.notify(QStringLiteral("保险柜"), QStringLiteral("失败"), 3));
        QTRY_COMPARE(failedTitles, QList<QString>{QStringLiteral("保险柜")});

        serviceBus.unregisterService(kService);
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    }
};

QTEST_GUILESS_MAIN(tst_DesktopNotifications)
#include "tst_DesktopNotifications.moc"
