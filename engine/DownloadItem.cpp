#include "engine/DownloadItem.h"

#include <QDir>

DownloadItem NewDownloadItem(const ItemSource &source)
{
    DownloadItem item;
    item.Url = source.url;
    item.Name = source.name;
    item.Type = source.type;
    item.Folder = source.folder;
    item.Referer = source.referer;
    item.State = Waiting;
    return item;
}

QString ItemFilePath(const DownloadItem &item)
{
    QString path = item.Folder;
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    path += item.Name;
    if (!item.Type.isEmpty())
        path += QLatin1Char('.') + item.Type;
    return path;
}

bool IsWebPageType(const QString &type)
{
    return type.compare(QLatin1String("htm"), Qt::CaseInsensitive) == 0
           || type.compare(QLatin1String("html"), Qt::CaseInsensitive) == 0;
}
