#pragma once

#include "platform/SoundPlayer.h"

#include <QList>
#include <QStringList>

// A sound player for tests: records the files it was asked to play, in order.
class SoundRecorder final : public SoundPlayer
{
public:
    void playFile(const QString &path) override { paths.append(path); }

    // The sound numbers played, read from the file names ("101.wav" → 101).
    QList<int> numbers() const;
    void clear() { paths.clear(); }

    QStringList paths;
};
