#include "tests/support/SoundRecorder.h"

#include <QFileInfo>

QList<int> SoundRecorder::numbers() const
{
    QList<int> played;
    for (const QString &path : paths)
        played.append(QFileInfo(path).completeBaseName().toInt());
    return played;
}
