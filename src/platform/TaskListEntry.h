// SPDX-License-Identifier: MIT
#pragma once

class QWindow;

/// Whether the desktop's task list leaves the window out
/// (_NET_WM_STATE_SKIP_TASKBAR on X11), changed on the native window there
/// is: a mapped window asks its window manager, one not mapped carries the
/// state into its next mapping. Nothing happens off X11 or for a window
/// without a native window yet.
void setSkippedByTaskList(QWindow *window, bool skipped);
