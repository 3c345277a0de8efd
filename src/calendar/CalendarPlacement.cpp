// SPDX-License-Identifier: MIT
#include "calendar/CalendarPlacement.h"

#include <QList>

#include <algorithm>

namespace CalendarPlacement {

namespace {

// The start of a span of length inside [low, high), as near to wanted as it
// can; the low end where the span is longer.
int keptInside(int wanted, int length, int low, int high) {
    return std::max(low, std::min(wanted, high - length));
}

qint64 area(const QRect &rect) {
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

} // namespace

QPoint besideBoard(const QRect &board, const QRect &available, const QSize &size) {
    const int left = available.left();
    const int top = available.top();
    const int right = available.left() + available.width();
    const int bottom = available.top() + available.height();
    const int beside = keptInside(board.top(), size.height(), top, bottom);
    const int under = keptInside(board.left(), size.width(), left, right);

    struct Side {
        int room;
        QPoint at;
    };
    Side rightSide{right - (board.left() + board.width()), QPoint(board.left() + board.width(), beside)};
    Side leftSide{board.left() - left, QPoint(board.left() - size.width(), beside)};
    Side below{bottom - (board.top() + board.height()), QPoint(under, board.top() + board.height())};
    Side above{board.top() - top, QPoint(under, board.top() - size.height())};
    // The roomier of each pair first; on a tie, right and below.
    QList<Side> sides;
    sides << (leftSide.room > rightSide.room ? leftSide : rightSide)
          << (leftSide.room > rightSide.room ? rightSide : leftSide)
          << (above.room > below.room ? above : below) << (above.room > below.room ? below : above);

    for (const Side &side : sides) {
        if (available.contains(QRect(side.at, size)))
            return side.at;
    }
    QPoint best;
    qint64 covered = -1;
    for (const Side &side : sides) {
        const QPoint at(keptInside(side.at.x(), size.width(), left, right),
                        keptInside(side.at.y(), size.height(), top, bottom));
        const qint64 over = area(QRect(at, size) & board);
        if (covered < 0 || over < covered) {
            best = at;
            covered = over;
        }
    }
    return best;
}

} // namespace CalendarPlacement
