#pragma once

#include "cache_viewer/CacheViewer.h"

class QWebEngineProfile;
class QWidget;

// The cache viewer's services for a browser profile (the default profile when
// none is given): its cache folder, the users' caches laid out as this user's
// home folder and that cache folder show, and the folder history file.
CacheViewerServices CacheViewerServicesFor(QWebEngineProfile *profile, StoredSettings &stored, Prompts &prompts);

// "查看IE浏览器缓存": the cache viewer, modal to the window, without a nested
// event loop; it deletes itself when closed.
CacheViewer *OpenCacheViewer(QWebEngineProfile *profile, StoredSettings &stored, Prompts &prompts, QWidget *parent);

// ClearBrowserCache: deletes the user's cache and the bodies written out of
// it, then the cache files of all users, as the viewer's "全部删除" does in
// both listings, and empties the profile's HTTP cache; with `report`, shows
// "IE缓存清空完毕！", or how many files were deleted and how many could not be.
void ClearBrowserCache(QWebEngineProfile *profile, StoredSettings &stored, Prompts &prompts, bool report);
