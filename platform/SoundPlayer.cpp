#include "platform/SoundPlayer.h"

#include "platform/FileTests.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

// Q_INIT_RESOURCE declares the resource's initialiser, which must live in
// the global namespace.
static void initBuiltInResources()
{
    Q_INIT_RESOURCE(resources);
}

QByteArray BuiltInSound(int number)
{
    if (number != SoundNumber::WebPage && number != SoundNumber::ListEnded && number != SoundNumber::ItemFailed)
        return QByteArray();
    static const bool initialised = (initBuiltInResources(), true);
    Q_UNUSED(initialised);
    QFile resource(QStringLiteral(":/sounds/%1.wav").arg(number));
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

QString SoundFilePath(int number, const QString &folder)
{
    QString path = folder;
    if (!path.endsWith(QDir::separator()) && !path.endsWith(QLatin1Char('/')))
        path += QDir::separator();
    return path + QString::number(number) + QStringLiteral(".wav");
}

void PlaySound(int number, SoundPlayer &player, const QString &folder)
{
    const QString path = SoundFilePath(number, folder);
    if (!FileExists(path)) {
        const QByteArray data = BuiltInSound(number);
        if (data.isEmpty())
            return;
        // Written whole or not at all, so that a half-written file is never
        // taken for the sound next time.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
            return;
    }
    player.playFile(path);
}

void PlaySound(int number, SoundPlayer &player)
{
    PlaySound(number, player, ProgramFolder());
}
