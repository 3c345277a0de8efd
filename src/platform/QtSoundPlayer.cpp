// SPDX-License-Identifier: MIT
#include "platform/QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent) {}

void QtSoundPlayer::playAsync(const QString &wavPath) {
    if (!QFileInfo(wavPath).isFile())
        return;
    if (m_effect)
        m_effect->deleteLater();
    // Created on first use: the audio backend costs start-up time otherwise.
    m_effect = new QSoundEffect(this);
    m_effect->setSource(QUrl::fromLocalFile(wavPath));
    // A file that is no WAV ends in the Error state and plays nothing.
    m_effect->play();
}
