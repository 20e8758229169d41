#include "harvester/Handover.h"

#include "engine/DownloadList.h"
#include "engine/Naming.h"
#include "settings/SessionSettings.h"

namespace {

// Removes blanks (spaces only) at both ends.
QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString CleanHandoverTitle(const QString &title)
{
    QString cleaned;
    cleaned.reserve(title.size());
    for (QChar c : title) {
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && c.unicode() != 0)
            cleaned.append(c);
    }
    return trimBlanks(cleaned);
}

QString OriginalFileBaseName(const QString &link)
{
    QString name = link;
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (const qsizetype slash = name.lastIndexOf(QLatin1Char('\\')); slash >= 0)
        name = trimBlanks(name.mid(slash + 1));
    if (const qsizetype dot = name.lastIndexOf(QLatin1Char('.')); dot >= 0)
        name = trimBlanks(name.left(dot));
    return name;
}

Handover::Handover(HandoverTarget &target, const SessionSettings &settings)
    : m_target(target), m_settings(settings)
{
}

bool Handover::加入下载列表(const QString &link, const QString &title, const QString &fileType,
                          const QString &savePath, const QString &pageUrl)
{
    const QString cleanedTitle = CleanHandoverTitle(title);
    const QString folder = savePath.isEmpty() ? m_settings.SaveFolder : savePath;
    const QString baseName = m_settings.KeepOriginalFileName ? OriginalFileBaseName(link) : cleanedTitle;

    DownloadItem item;
    item.Url = link;
    item.Name = SanitizeFileName(baseName);
    item.Type = fileType;
    item.Folder = folder;
    item.Referer = pageUrl;
    item.State = Waiting;
    m_target.downloadList().addItem(std::move(item)); // a link already listed changes nothing
    return true;
}

void Handover::显示下载窗口()
{
    m_target.显示下载窗口();
}
