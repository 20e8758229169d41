#include "cache_viewer/BrowserCache.h"

#include "cache_viewer/CacheTexts.h"
#include "platform/Prompts.h"
#include "settings/FolderHistory.h"

#include <QDir>
#include <QWebEngineProfile>

CacheViewerServices CacheViewerServicesFor(QWebEngineProfile *profile, StoredSettings &stored, Prompts &prompts)
{
    QWebEngineProfile *used = profile ? profile : QWebEngineProfile::defaultProfile();
    const QString cacheFolder = used->isOffTheRecord() ? QString() : used->cachePath();
    return CacheViewerServices{stored,
                               prompts,
                               FolderHistoryFilePath(),
                               cacheFolder,
                               CacheExportFolder(),
                               cacheFolder.isEmpty() ? UserCacheLayout{}
                                                     : UserCacheLayoutFor(QDir::homePath(), cacheFolder)};
}

CacheViewer *OpenCacheViewer(QWebEngineProfile *profile, StoredSettings &stored, Prompts &prompts, QWidget *parent)
{
    auto *viewer = new CacheViewer(CacheViewerServicesFor(profile, stored, prompts), parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->open();
    return viewer;
}

void ClearBrowserCache(QWebEngineProfile *profile, StoredSettings &stored, Prompts &prompts, bool report)
{
    const CacheViewerServices services = CacheViewerServicesFor(profile, stored, prompts);
    const DeletionCount count = ClearCaches(UrlCache(services.cacheFolder, services.exportFolder), services.layout);
    (profile ? profile : QWebEngineProfile::defaultProfile())->clearHttpCache();
    if (!report)
        return;
    if (count.failed == 0)
        prompts.message(CacheText::kCacheCleared, QString(), PromptIcon::Information, PromptButtons::Ok);
    else
        prompts.message(CacheText::kCacheClearedWithFailures.arg(count.deleted).arg(count.failed), QString(),
                        PromptIcon::Warning, PromptButtons::Ok);
}
