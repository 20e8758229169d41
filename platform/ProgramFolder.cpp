#include "platform/ProgramFolder.h"

#include <QDir>
#include <QStandardPaths>

QString ProgramFolder()
{
    QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Paperdrift");
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder);
}
