// SPDX-License-Identifier: MIT
#include "platform/QtTrayHost.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <functional>

#ifdef TACKORA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

// Qt tells of no tray coming or going. On X11 the tray's own signs are
// watched: the tray host that comes announces its selection (a MANAGER
// message on the root window), the one that goes destroys the window owning
// it. A tray on the session bus registers or drops the watcher's name, and
// the watcher announces each host that comes or goes while it stays. Qt is
// asked only then, where it would otherwise be asked every two seconds.
class TrayOwnerWatch final : public QObject {
    Q_OBJECT
public:
    explicit TrayOwnerWatch(std::function<void()> changed)
        : m_changed(std::move(changed)) {}
    ~TrayOwnerWatch() override {
#ifdef TACKORA_HAVE_XCB
        delete m_notifier;
        if (m_connection)
            xcb_disconnect(m_connection);
#endif
    }
    TrayOwnerWatch(const TrayOwnerWatch &) = delete;
    TrayOwnerWatch &operator=(const TrayOwnerWatch &) = delete;

    /// False where a tray could come or go unseen: ask on a timer then.
    bool start() {
        const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
        QDBusConnection bus = QDBusConnection::sessionBus();
        auto *owner = new QDBusServiceWatcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { m_changed(); });
        for (const QString &signal : {QStringLiteral("StatusNotifierHostRegistered"),
                                      QStringLiteral("StatusNotifierHostUnregistered")}) {
            bus.connect(service, QStringLiteral("/StatusNotifierWatcher"), service, signal, this,
                        SLOT(hostsChanged()));
        }
#ifdef TACKORA_HAVE_XCB
        // Without X11 (Wayland) the session bus is the only way a tray shows.
        if (QGuiApplication::platformName() != u"xcb")
            return true;
        int screen = 0;
        m_connection = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(m_connection))
            return false;
        const xcb_setup_t *setup = xcb_get_setup(m_connection);
        xcb_screen_iterator_t roots = xcb_setup_roots_iterator(setup);
        for (int i = 0; i < screen && roots.rem; ++i)
            xcb_screen_next(&roots);
        if (!roots.rem)
            return false;
        m_root = roots.data->root;
        m_selection = atom(QByteArray("_NET_SYSTEM_TRAY_S") + QByteArray::number(screen));
        m_manager = atom("MANAGER");
        const uint32_t rootEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &rootEvents);
        watchOwner();
        m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
        connect(m_notifier, &QSocketNotifier::activated, this, &TrayOwnerWatch::readEvents);
#endif
        return true;
    }

private Q_SLOTS:
    void hostsChanged() {
        m_changed();
    }

private:
#ifdef TACKORA_HAVE_XCB
    xcb_atom_t atom(const QByteArray &name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData()), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    }

    // Follows the window that owns the selection now, to hear of its end.
    void watchOwner() {
        xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
        m_owner = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
        std::free(reply);
        if (m_owner != XCB_WINDOW_NONE) {
            const uint32_t ownerEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(m_connection, m_owner, XCB_CW_EVENT_MASK, &ownerEvents);
        }
        xcb_flush(m_connection);
    }

    void readEvents() {
        bool changed = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CLIENT_MESSAGE) {
                const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
                changed |= message->type == m_manager && message->data.data32[1] == m_selection;
            } else if (type == XCB_DESTROY_NOTIFY) {
                changed |= reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window == m_owner;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(m_connection)) {
            m_notifier->setEnabled(false);
            return;
        }
        if (changed) {
            watchOwner();
            m_changed();
        }
    }

    xcb_connection_t *m_connection = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_owner = XCB_WINDOW_NONE;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    xcb_atom_t m_manager = XCB_ATOM_NONE;
#endif
    std::function<void()> m_changed;
};

namespace {
// Where nothing tells of the tray (no own connection to the display), it is
// asked now and then.
constexpr int kWatchIntervalMs = 2000;

QSystemTrayIcon::MessageIcon balloonIcon(int iconFlags) {
    switch (iconFlags) {
    case 1:
        return QSystemTrayIcon::Information;
    case 2:
        return QSystemTrayIcon::Warning;
    case 3:
        return QSystemTrayIcon::Critical;
    default:
        return QSystemTrayIcon::NoIcon;
    }
}
} // namespace

QtTrayHost::QtTrayHost(const QIcon &icon, QObject *parent)
    : TrayHost(parent)
    , m_icon(icon)
    , m_notifications(icon.pixmap(48).toImage(), QStringLiteral("org.tackora.Tackora")) {
    // A service that refuses a balloon leaves it to the tray.
    connect(&m_notifications, &DesktopNotifications::failed, this,
            [this](const QString &title, const QString &text, int iconFlags) {
                m_icon.showMessage(title, text, balloonIcon(iconFlags));
            });
    setAvailable(QSystemTrayIcon::isSystemTrayAvailable());
    m_watch.setInterval(kWatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &QtTrayHost::checkAvailability);
    // After the start-up: the watch's own connection to the display is no
    // part of showing the board; a tray that came meanwhile is seen then.
    constexpr int kWatchAfterStartMs = 500;
    QTimer::singleShot(kWatchAfterStartMs, this, [this] {
        m_ownerWatch = std::make_unique<TrayOwnerWatch>([this] {
            // Qt learns of the change on its own connection, maybe after us:
            // it is asked again a little later until it has surely caught up.
            checkAvailability();
            for (const int delayMs : {250, 1000, 2500})
                QTimer::singleShot(delayMs, this, &QtTrayHost::checkAvailability);
        });
        if (!m_ownerWatch->start())
            m_watch.start();
        checkAvailability();
    });
    connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Every release of the left button is a click: the second click of a
        // quick pair arrives as DoubleClick and toggles the board again.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT leftClicked();
        else if (reason == QSystemTrayIcon::Context)
            Q_EMIT rightClicked();
    });
}

QtTrayHost::~QtTrayHost() = default;

void QtTrayHost::showIcon(const QString &tip) {
    m_wanted = true;
    m_icon.setToolTip(tip);
    m_icon.show();
}

void QtTrayHost::checkAvailability() {
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (available && !isAvailable() && m_wanted) {
        // A tray that came: the icon goes into it.
        m_icon.hide();
        m_icon.show();
    }
    setAvailable(available);
}

void QtTrayHost::setTip(const QString &tip) {
    m_icon.setToolTip(tip);
}

void QtTrayHost::showBalloon(const QString &title, const QString &text, int iconFlags) {
    if (title.isEmpty() && text.isEmpty())
        return; // nothing replaces a balloon on show but the next one
    if (!m_notifications.notify(title, text, iconFlags))
        m_icon.showMessage(title, text, balloonIcon(iconFlags));
}

void QtTrayHost::removeIcon() {
    m_wanted = false;
    m_icon.hide();
}

#include "QtTrayHost.moc"
