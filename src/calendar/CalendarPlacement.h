// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace CalendarPlacement {

/// Where a calendar of size opens so that it covers none of the board (its
/// frame, board): beside it on the side with more room, else below or above
/// it, always inside available (the screen less its panels). Where there is no
/// such place, the place inside available that covers the least of the board.
QPoint besideBoard(const QRect &board, const QRect &available, const QSize &size);

} // namespace CalendarPlacement
