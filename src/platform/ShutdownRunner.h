// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// Hands shutdown requests to the system's shutdown command, without waiting
/// for it or looking at its result.
class ShutdownRunner {
public:
    virtual ~ShutdownRunner() = default;
    /// Shut the computer down in about a minute, showing warning to the users.
    virtual void scheduleShutdown(const QString &warning) = 0;
    /// Cancel a pending shutdown.
    virtual void cancelShutdown() = 0;
};

/// shutdown -h +1 "<warning>" and shutdown -c, started detached.
class ProcessShutdownRunner final : public ShutdownRunner {
public:
    void scheduleShutdown(const QString &warning) override;
    void cancelShutdown() override;
};
