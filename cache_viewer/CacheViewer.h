#pragma once

#include "cache_viewer/CacheListing.h"
#include "cache_viewer/UrlCache.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class Prompts;
class QLabel;
class QPushButton;
class QTimer;
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

    ~CacheViewer() override;

    // List my cache: reads the cache a slice per turn of the event loop, so
    // the window stays responsive over a large cache; `listed` follows.
    void Command1_Click();
    void Command7_Click(); // list all users' caches; `listed` follows at once
    // Copy selected: writes the selected entries' bodies out, one per turn,
    // then opens Form_Copy_Move with their files.
    void Command6_Click();
    void Command2_Click(); // delete selected
    void Command3_Click(); // delete all

    // The listing shown: "我的缓存", "所有缓存" or empty.
    QString listTag() const { return m_tag; }
    bool isListing() const { return m_listing != nullptr; }
    const QList<CacheRow> &rows() const { return m_rows; }
    const QStringList &cacheFolders() const { return m_owned.cacheFolders; }

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

signals:
    // A listing has been shown in ListView1.
    void listed();

private:
    void buildControls();
    void showRows();
    void sortBy(int column);
    void listSome();
    void writeOutSome();
    void deleteRows(const QList<CacheRow> &rows, bool all);
    QList<CacheRow> selectedRows() const;

    CacheViewerServices m_services;
    UrlCache m_cache;
    // My cache's listing in progress: its phase, the rows read so far and
    // how many of them have their local files filled in.
    enum class ListingPhase { Reading, Filling, Showing, Sizing };
    std::unique_ptr<CacheUrlListing> m_listing;
    ListingPhase m_listingPhase = ListingPhase::Reading;
    QList<CacheRow> m_listedRows;
    qsizetype m_filledRows = 0;
    int m_sizedColumns = 0;
    QTimer *m_listTimer = nullptr; // the next turn of the listing
    QList<CacheRow> m_rows;
    UserCaches m_owned; // the last all-users listing
    QString m_tag;
    int m_sortColumn = -1;
    bool m_descending = false;
    // The copy in preparation: rows whose bodies are still to be written
    // out, and the files ready for the dialog.
    QList<CacheRow> m_toWriteOut;
    QStringList m_toCopy;
    bool m_preparingCopy = false;
};
