// SPDX-License-Identifier: MIT
#pragma once

#include "memos/MemoRecord.h"

#include <QDateTime>
#include <QString>

/// When a memo falls due next, by the scheduler's own rules, or why it never
/// will.
struct NextDue {
    QDateTime when; // invalid: never
    QString reason; // why never, or a note beside when
};

/// The first second after after at which slot (memo number) falls due.
NextDue nextDue(const MemoSlot &slot, int number, const QDateTime &after);
