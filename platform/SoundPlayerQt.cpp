#include "platform/SoundPlayerQt.h"

#include <QSoundEffect>
#include <QUrl>

SoundPlayerQt::SoundPlayerQt(QObject *parent) : QObject(parent) {}

void SoundPlayerQt::playFile(const QString &path)
{
    QSoundEffect *effect = m_effects.value(path);
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
        m_effects.insert(path, effect);
    }
    effect->play(); // starts once loaded; returns at once either way
}
