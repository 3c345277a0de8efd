// SPDX-License-Identifier: MIT
// The sound module: Qt Multimedia and the audio libraries behind it are loaded
// only when a memo first plays its sound, not at every start of the program.
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

extern "C" Q_DECL_EXPORT void tackoraPlayWav(const char16_t *path, int length) {
    static QPointer<QSoundEffect> effect;
    const QString file = QString::fromUtf16(path, length);
    if (!QFileInfo(file).isFile())
        return;
    if (effect)
        effect->deleteLater();
    effect = new QSoundEffect;
    effect->setSource(QUrl::fromLocalFile(file));
    // A file that is no WAV ends in the Error state and plays nothing.
    effect->play();
}
