// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QList>

/// Turns the moments at which a once-a-second timer fires into the whole
/// seconds that each tick has to consider, so a late tick loses no second and
/// two ticks in one second consider it once.
class SecondTicker final {
public:
    /// The seconds after the previous tick up to and including now. The first
    /// tick, a clock that went backwards, or one that jumped more than a minute
    /// forward considers only the current second.
    QList<QDateTime> advance(const QDateTime &now);

private:
    QDateTime m_last;
};
