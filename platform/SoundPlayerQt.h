#pragma once

#include "platform/SoundPlayer.h"

#include <QHash>
#include <QObject>

class QSoundEffect;

// Plays sound files through Qt Multimedia. Each file keeps its own effect,
// so that two sounds started one after the other both play.
class SoundPlayerQt final : public QObject, public SoundPlayer
{
    Q_OBJECT

public:
    explicit SoundPlayerQt(QObject *parent = nullptr);
    void playFile(const QString &path) override;

private:
    QHash<QString, QSoundEffect *> m_effects;
};
