// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SoundPlayer.h"

#include <QLibrary>

/// WAV files through QSoundEffect, in a module loaded on the first sound so
/// that the audio libraries cost nothing at start-up. One sound at a time,
/// the next replaces it; without an audio device or the module the sound is
/// lost quietly.
class QtSoundPlayer final : public SoundPlayer {
public:
    void playAsync(const QString &wavPath) override;

private:
    using PlayFunction = void (*)(const char16_t *, int);
    QLibrary m_module;
    PlayFunction m_play = nullptr;
    bool m_tried = false;
};
