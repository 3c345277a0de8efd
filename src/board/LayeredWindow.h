// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRegion>
#include <Qt>

class QWidget;

/// The whole window, children included, at alpha (0..255) of full opacity;
/// ends a white key.
void SetWindowAlpha(QWidget *window, int alpha);

/// Every white pixel of the window becomes transparent and lets clicks
/// through; the rest stays opaque. The shape follows the window's content: call
/// refreshWhiteKey after the content changed.
void SetWindowWhiteKey(QWidget *window);

bool hasWhiteKey(const QWidget *window);

/// Sets or clears a window flag on the native window there is: it stays
/// shown where it was, and so does whatever is open over it.
void SetWindowFlagKeepingPlace(QWidget *window, Qt::WindowType flag, bool on);

/// The window gets no entry in the task list (a tool window, skipped by the
/// task list), or with hidden false gets it back; in place, as above.
void HideFromTaskList(QWidget *window, bool hidden = true);

/// Recomputes the shape of a white-keyed window soon (repeated calls within a
/// few milliseconds cost one recomputation): where changed (window
/// coordinates) is given, only there; otherwise everywhere. No effect on
/// other windows.
void refreshWhiteKey(QWidget *window, const QRect &changed = QRect());

/// As above for the areas of the changed widgets, leaving out a label whose
/// pixels cannot turn white (a clock's text on its dark strip): the shape
/// there cannot change, so a tick costs no rendering of it.
void refreshWhiteKey(QWidget *window, const QList<const QWidget *> &changed);

/// How many times the shape of a white-keyed window has been computed from
/// its content: what each change costs, for tests and benchmarks.
int whiteKeyComputations(const QWidget *window);

/// The pixels of image that are not pure white.
QRegion nonWhiteRegion(const QImage &image);
