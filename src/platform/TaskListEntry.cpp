// SPDX-License-Identifier: MIT
#include "platform/TaskListEntry.h"

#include <QWindow>

#ifdef TACKORA_HAVE_XCB
#include <QGuiApplication>
#include <QList>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace {

template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    const ReplyPointer<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window manager's to change on a managed window (EWMH _NET_WM_STATE).
void askWindowManager(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t state, xcb_atom_t skip,
                      bool skipped) {
    const ReplyPointer<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    if (!geometry)
        return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = state;
    event.data.data32[0] = skipped ? 1 : 0; // _NET_WM_STATE_ADD or _NET_WM_STATE_REMOVE
    event.data.data32[1] = skip;
    event.data.data32[3] = 1; // asked by an application
    xcb_send_event(connection, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
}

// The window's own property while no manager holds it; Qt adds its states to
// it when it maps the window.
void setProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t state, xcb_atom_t skip,
                 bool skipped) {
    QList<xcb_atom_t> states;
    const ReplyPointer<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr),
        &std::free);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states = QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply.get()) /
                                                        int(sizeof(xcb_atom_t)));
    }
    states.removeAll(skip);
    if (skipped)
        states.append(skip);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        uint32_t(states.size()), states.constData());
}

} // namespace
#endif

void setSkippedByTaskList(QWindow *window, bool skipped) {
#ifdef TACKORA_HAVE_XCB
    // The offscreen platform answers as X11 too, without a connection.
    auto *x11 = qGuiApp && QGuiApplication::platformName() == u"xcb"
                    ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                    : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!window || !window->handle() || !connection)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE)
        return;
    if (window->isVisible())
        askWindowManager(connection, id, state, skip, skipped);
    else
        setProperty(connection, id, state, skip, skipped);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
    Q_UNUSED(skipped);
#endif
}
