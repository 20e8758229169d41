#include "harvester/Handover.h"

#include "engine/DownloadList.h"
#include "engine/Naming.h"
#include "common/SessionSettings.h"

QString CleanHandoverTitle(const QString &title)
{
    QString cleaned;
    cleaned.reserve(title.size());
    for (QChar c : title) {
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && c.unicode() != 0)
            cleaned.append(c);
    }
    return TrimBlanks(cleaned);
}

QString OriginalFileBaseName(const QString &link)
{
    QString name = link;
    name.replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (const qsizetype slash = name.lastIndexOf(QLatin1Char('\\')); slash >= 0)
        name = TrimBlanks(name.mid(slash + 1));
    if (const qsizetype dot = name.lastIndexOf(QLatin1Char('.')); dot >= 0)
        name = TrimBlanks(name.left(dot));
    return name;
}

Handover::Handover(HandoverTarget &target, const SessionSettings &settings) : m_target(target), m_settings(settings) {}

bool Handover::addToDownloadList(const QString &link, const QString &title, const QString &fileType,
                                 const QString &savePath, const QString &pageUrl)
{
    const QString cleanedTitle = CleanHandoverTitle(title);
    const QString folder = savePath.isEmpty() ? m_settings.SaveFolder : savePath;
    // An item without a folder would be stored wherever the program runs from.
    if (folder.trimmed().isEmpty())
        return false;
    const QString baseName = m_settings.KeepOriginalFileName ? OriginalFileBaseName(link) : cleanedTitle;

    // A link already listed changes nothing.
    m_target.downloadList().addItem(NewDownloadItem({link, SanitizeFileName(baseName), fileType, folder, pageUrl}));
    return true;
}

void Handover::showDownloadWindow()
{
    m_target.showDownloadWindow();
}
