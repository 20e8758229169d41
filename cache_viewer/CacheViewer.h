#pragma once

#include "cache_viewer/CacheListing.h"
#include "cache_viewer/UrlCache.h"

#include <QDialog>
#include <QStringList>

class Prompts;
class QLabel;
class QPushButton;
class QTreeWidget;
class StoredSettings;

// What the cache viewer works with: the stored settings and the prompts (for
// the copy/move dialog), the folder history file, the browser's cache, and
// where the users' caches lie.
struct CacheViewerServices
{
    StoredSettings &stored;
    Prompts &prompts;
    QString historyPath;
    QString cacheFolder;  // the browser profile's cache folder
    QString exportFolder; // where cache bodies are written out
    UserCacheLayout layout;
};

// fIEcache: lists the browser's cache ("查看我的缓存") or the cache files of
// every user ("查看所有用户缓存"), copies the selected files out through
// Form_Copy_Move and deletes the selected ones or all of them.
class CacheViewer : public QDialog
{
    Q_OBJECT

public:
    explicit CacheViewer(const CacheViewerServices &services, QWidget *parent = nullptr);

    void Command1_Click(); // list my cache
    void Command7_Click(); // list all users' caches
    void Command6_Click(); // copy selected
    void Command2_Click(); // delete selected
    void Command3_Click(); // delete all

    // The listing shown: "我的缓存", "所有缓存" or empty.
    QString listTag() const { return m_tag; }
    const QList<CacheRow> &rows() const { return m_rows; }
    const QStringList &cacheFolders() const { return m_cacheFolders; }

    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command7 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QTreeWidget *ListView2 = nullptr;
    QTreeWidget *ListView3 = nullptr;
    QLabel *Label1 = nullptr;

private:
    void buildControls();
    void showRows();
    void sortBy(int column);
    void deleteRows(const QList<CacheRow> &rows);
    QList<CacheRow> selectedRows() const;

    CacheViewerServices m_services;
    UrlCache m_cache;
    QList<CacheRow> m_rows;
    QStringList m_profileFolders;
    QStringList m_cacheFolders;
    QString m_tag;
    int m_sortColumn = -1;
    bool m_descending = false;
};
