#pragma once

#include <QString>

// Captions, column titles, tags and messages of the browser cache viewer.
namespace CacheText {

inline const QString kWindowName = QStringLiteral("fIEcache");
inline const QString kCaption = QStringLiteral("IE浏览器Cookie 缓存和历史列表");
inline const QString kViewMyCache = QStringLiteral("查看我的缓存");
inline const QString kViewAllUsers = QStringLiteral("查看所有用户缓存");
inline const QString kCopySelected = QStringLiteral("复制选中...");
inline const QString kDeleteSelected = QStringLiteral("删除所选文件");
inline const QString kDeleteAll = QStringLiteral("全部删除");
inline const QString kClose = QStringLiteral("关闭");

inline const QString kColumnUrl = QStringLiteral("URL");
inline const QString kColumnType = QStringLiteral("TYPE");
inline const QString kColumnSize = QStringLiteral("SIZE(Byte)");
inline const QString kColumnFilePath = QStringLiteral("FilePath");
inline const QString kColumnUserName = QStringLiteral("用户名");
inline const QString kColumnFolder = QStringLiteral("文件夹");

inline const QString kTagMyCache = QStringLiteral("我的缓存");
inline const QString kTagAllCaches = QStringLiteral("所有缓存");
inline const QString kUserPrefix = QStringLiteral("用户:");

inline const QString kCountPrefix = QStringLiteral("共有");
inline const QString kCountErrorPrefix = QStringLiteral("出错!!!共有");
inline const QString kCountSuffix = QStringLiteral(" 个文件");

inline const QString kCopyCaptionPrefix = QStringLiteral("复制文件：");
inline const QString kCopyCaptionSuffix = QStringLiteral(" 个文件...");
inline const QString kCacheCleared = QStringLiteral("IE缓存清空完毕！");
// Clearing in which some files could not be deleted says how many were and
// how many were not: %1 deleted, %2 failed.
inline const QString kCacheClearedWithFailures = QStringLiteral("IE缓存清空结束：删除%1 个文件，%2 个文件删除失败！");

// The menu entries of the search and download windows.
inline const QString kMenuViewCache = QStringLiteral("查看IE浏览器缓存");
inline const QString kMenuClearCache = QStringLiteral("清空IE浏览器缓存");

} // namespace CacheText
