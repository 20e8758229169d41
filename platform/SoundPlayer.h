#pragma once

#include <QByteArray>
#include <QString>

// The built-in sounds.
namespace SoundNumber {
constexpr int WebPage = 101;    // a transfer ended with a web page (type htm or html)
constexpr int ListEnded = 102;  // the whole list ended, or the error rule stopped downloading
constexpr int ItemFailed = 103; // a transfer ended with the item failed
} // namespace SoundNumber

// Plays a sound file and returns at once, without waiting for its end.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void playFile(const QString &path) = 0;
};

// The built-in WAV data of a sound number; empty for any other number.
QByteArray BuiltInSound(int number);

// The sound's file in the given folder: "<folder>/<number>.wav".
QString SoundFilePath(int number, const QString &folder);

// Plays a built-in sound from its file in the folder (the program's folder
// by default), writing the file from the built-in data first when it is
// missing. A file that is already there is played as it is.
void PlaySound(int number, SoundPlayer &player, const QString &folder);
void PlaySound(int number, SoundPlayer &player);
