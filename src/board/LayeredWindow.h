// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QRegion>

class QWidget;

/// The whole window, children included, at alpha (0..255) of full opacity;
/// ends a white key.
void SetWindowAlpha(QWidget *window, int alpha);

/// Every white pixel of the window becomes transparent and lets clicks
/// through; the rest stays opaque. The shape follows the window's content: call
/// refreshWhiteKey after the content changed.
void SetWindowWhiteKey(QWidget *window);

bool hasWhiteKey(const QWidget *window);

/// Recomputes the shape of a white-keyed window soon (repeated calls within a
/// few milliseconds cost one recomputation). No effect on other windows.
void refreshWhiteKey(QWidget *window);

/// The pixels of image that are not pure white.
QRegion nonWhiteRegion(const QImage &image);
