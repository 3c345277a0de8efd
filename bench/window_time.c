// SPDX-License-Identifier: MIT
// Time from starting a program to its first top-level window mapped on the X
// display, and to the first drawing the server sees in that window (through
// the Damage extension): the same measure for every program, xpad among them,
// whether or not it can say when it has painted. The program is then ended.
//   window_time <program> [arguments...]    prints "<mapped ms> <painted ms>", or "-1 -1"
// A window mapped by another process (a running instance the program handed
// its start to) does not count: that would time a message, not a start.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static pid_t child;

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static void endChild(void) {
    if (child <= 0)
        return;
    // Some programs take their time over SIGTERM (or ignore it): a second later, SIGKILL.
    kill(child, SIGTERM);
    for (int i = 0; i < 100 && waitpid(child, NULL, WNOHANG) == 0; ++i)
        usleep(10000);
    if (waitpid(child, NULL, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, NULL, 0);
    }
    child = 0;
}

// A program that never shows a window ends the measure, and is ended with it:
// a survivor would take the next start's window.
static void onAlarm(int signal) {
    (void)signal;
    if (child > 0)
        kill(child, SIGKILL);
    static const char none[] = "-1 -1\n";
    (void)!write(STDOUT_FILENO, none, sizeof none - 1);
    _exit(1);
}

static xcb_atom_t atom(xcb_connection_t *connection, const char *name) {
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, (uint16_t)strlen(name), name), NULL);
    const xcb_atom_t value = reply ? reply->atom : XCB_ATOM_NONE;
    free(reply);
    return value;
}

// The _NET_WM_PID of a window, or 0 where it has none.
static pid_t windowPid(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t pidAtom) {
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), NULL);
    pid_t pid = 0;
    if (reply && xcb_get_property_value_length(reply) == 4)
        pid = (pid_t) * (uint32_t *)xcb_get_property_value(reply);
    free(reply);
    return pid;
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fputs("usage: window_time <program> [arguments...]\n", stderr);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fputs("window_time: no X display\n", stderr);
        return 1;
    }
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present) {
        fputs("window_time: the display has no Damage extension\n", stderr);
        return 1;
    }
    free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), NULL));
    const xcb_atom_t pidAtom = atom(connection, "_NET_WM_PID");
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &events);
    // The subscription is in place before the program starts.
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), NULL));

    signal(SIGALRM, onAlarm);
    alarm(20);
    const double start = nowMs();
    child = fork();
    if (child == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mappedMs = -1;
    double paintedMs = -1;
    xcb_window_t mapped = XCB_WINDOW_NONE;
    xcb_generic_event_t *event;
    while (paintedMs < 0 && (event = xcb_wait_for_event(connection)) != NULL) {
        const double at = nowMs() - start;
        const int type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Watched from its creation: the first drawing follows the map at once.
            const xcb_create_notify_event_t *created = (const xcb_create_notify_event_t *)event;
            if (created->parent == screen->root && !created->override_redirect)
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(connection);
        } else if (type == XCB_MAP_NOTIFY && mapped == XCB_WINDOW_NONE) {
            const xcb_map_notify_event_t *map = (const xcb_map_notify_event_t *)event;
            if (!map->override_redirect) {
                const pid_t owner = windowPid(connection, map->window, pidAtom);
                if (owner == 0 || owner == child) {
                    mapped = map->window;
                    mappedMs = at;
                } else {
                    fprintf(stderr, "window_time: a window of another process (%d) was mapped\n", (int)owner);
                }
            }
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const xcb_damage_notify_event_t *drawn = (const xcb_damage_notify_event_t *)event;
            if (mapped != XCB_WINDOW_NONE && drawn->drawable == mapped)
                paintedMs = at;
        }
        free(event);
    }
    alarm(0);
    printf("%.2f %.2f\n", mappedMs, paintedMs);
    fflush(stdout);
    endChild();
    xcb_disconnect(connection);
    return 0;
}
