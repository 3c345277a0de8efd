// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SoundPlayer.h"

#include <QObject>
#include <QPointer>

class QSoundEffect;

/// WAV files through QSoundEffect: one sound at a time, the next replaces it.
/// Without an audio device the sound is lost quietly.
class QtSoundPlayer final : public QObject, public SoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtSoundPlayer)
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    void playAsync(const QString &wavPath) override;

private:
    QPointer<QSoundEffect> m_effect;
};
