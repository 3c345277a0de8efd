// SPDX-License-Identifier: MIT
#include "platform/DesktopNotifications.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// The "image-data" hint: width, height, row stride, alpha, bits per sample,
// channels, then the RGBA bytes.
struct NotificationImage {
    QImage image;
};

QDBusArgument &operator<<(QDBusArgument &argument, const NotificationImage &icon) {
    const QImage image = icon.image.convertToFormat(QImage::Format_RGBA8888);
    argument.beginStructure();
    argument << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, NotificationImage &) {
    return argument; // sent only
}
} // namespace

Q_DECLARE_METATYPE(NotificationImage)

DesktopNotifications::DesktopNotifications(QImage icon, QString desktopEntry, QObject *parent)
    : QObject(parent)
    , m_icon(std::move(icon))
    , m_desktopEntry(std::move(desktopEntry)) {
    qDBusRegisterMetaType<NotificationImage>();
}

DesktopNotifications::DesktopNotifications(QImage icon, QString desktopEntry, QDBusConnection bus,
                                           QObject *parent)
    : DesktopNotifications(std::move(icon), std::move(desktopEntry), parent) {
    m_bus = std::move(bus);
}

QDBusConnection &DesktopNotifications::bus() const {
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    return *m_bus;
}

bool DesktopNotifications::available() const {
    QDBusConnection &connection = bus();
    if (!connection.isConnected() || !connection.interface())
        return false;
    if (connection.interface()->isServiceRegistered(kService))
        return true;
    const QDBusReply<QStringList> activatable = connection.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kService);
}

bool DesktopNotifications::notify(const QString &title, const QString &text, int iconFlags) {
    if (!available())
        return false;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), m_desktopEntry);
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(iconFlags == 3 ? 2 : 1)));
    if (!m_icon.isNull())
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(NotificationImage{m_icon}));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QCoreApplication::applicationName() << m_lastId << QString() << title << text << QStringList()
         << hints << int(kTimeoutMs);
    // Never wait on the desktop: the answer only gives the id the next one replaces.
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, text, iconFlags] {
        const QDBusPendingReply<quint32> reply = *watcher;
        if (reply.isError())
            Q_EMIT failed(title, text, iconFlags);
        else
            m_lastId = reply.value();
        watcher->deleteLater();
    });
    return true;
}

void DesktopNotifications::closeLast() {
    if (m_lastId == 0 || !bus().isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << m_lastId;
    bus().asyncCall(call);
    m_lastId = 0;
}
