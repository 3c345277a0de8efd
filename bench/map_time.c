// SPDX-License-Identifier: MIT
// Time from starting a program to its first top-level window mapped on the
// X display, for programs that cannot say when they are shown (the anchor
// xpad among them); the program is then ended.
//   map_time <program> [arguments...]     prints milliseconds, or -1
#include <xcb/xcb.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fputs("usage: map_time <program> [arguments...]\n", stderr);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(connection)) {
        fputs("map_time: no X display\n", stderr);
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(connection);
    // The subscription is in place before the program starts.
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), NULL));

    alarm(20); // a program that never maps a window ends the measure
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mappedMs = -1;
    xcb_generic_event_t *event;
    while ((event = xcb_wait_for_event(connection)) != NULL) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const xcb_map_notify_event_t *map = (const xcb_map_notify_event_t *)event;
            if (!map->override_redirect) {
                mappedMs = nowMs() - start;
                free(event);
                break;
            }
        }
        free(event);
    }
    printf("%.2f\n", mappedMs);
    fflush(stdout);
    // Some programs take their time over SIGTERM (or ignore it): a second later, SIGKILL.
    kill(pid, SIGTERM);
    for (int i = 0; i < 100 && waitpid(pid, NULL, WNOHANG) == 0; ++i)
        usleep(10000);
    if (waitpid(pid, NULL, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, NULL, 0);
    }
    xcb_disconnect(connection);
    return 0;
}
