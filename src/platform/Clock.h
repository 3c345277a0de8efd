// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

/// The one source of the current time; tests set it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

/// The system's local time.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};
