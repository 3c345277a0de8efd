// SPDX-License-Identifier: MIT
#include "platform/QtSoundPlayer.h"

#include "common/InstallLayout.h"

#include <QCoreApplication>
#include <QFileInfo>

void QtSoundPlayer::playAsync(const QString &wavPath) {
    if (!QFileInfo(wavPath).isFile())
        return;
    if (!m_tried) {
        m_tried = true;
        m_module.setFileName(InstallLayout::modulePath(QCoreApplication::applicationDirPath(),
                                                       QStringLiteral("libtackora_sound.so")));
        m_play = reinterpret_cast<PlayFunction>(m_module.resolve("tackoraPlayWav"));
    }
    if (m_play)
        m_play(reinterpret_cast<const char16_t *>(wavPath.utf16()), int(wavPath.size()));
}
