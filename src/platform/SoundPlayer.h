// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// Plays a WAV file without waiting for it; a missing or unplayable file is
/// skipped silently.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playAsync(const QString &wavPath) = 0;
};
