#pragma once

#include "folder_tree/FolderTreePlatform.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class Prompts;
class SettingsStore;

// The nodes of DirTree and the rules of usrDir without widgets: how the tree
// is built and grows one level ahead of what is open, how a node maps to a
// directory, DirName and the drive properties. The control mirrors the nodes
// in a QTreeWidget and adds selection, expansion and the busy banner.
//
// Nodes keep their order of addition; a node's index is its position in that
// order, counted from 0. Keys are unique regardless of letter case.
class FolderTreeModel final : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Desktop, Documents, Computer, Drive, Folder };

    struct Node
    {
        QString key;
        QString caption;
        QString picture;
        QString expandedPicture; // empty: the same as picture
        Kind kind = Kind::Folder;
        int parent = -1;
        QList<int> children;
        // The folder as it is on disk. A folder's key is built from the
        // proper-case names, which on a file system that tells letter case
        // apart may name no folder; reading and DirName use this path.
        QString path;
        QString mountPoint;                       // drive nodes
        DriveType driveType = DriveType::Unknown; // drive nodes
    };

    // Start of the control: reads the desktop and documents paths, the last
    // opened directory from the settings, and builds the tree.
    FolderTreeModel(FolderTreePlatform platform, SettingsStore &settings, Prompts &prompts, QObject *parent = nullptr);

    // LoadTreeView: removes every node and builds the tree again.
    void LoadTreeView();

    // Node-click handling: renews a CD caption, reads the node's sub-folders,
    // sets DirName and raises NodeClick (not for a drive that already has children).
    void clickNode(int index);
    // Opening a node: the node-click handling for each of its children, then
    // for the node itself, so that every child knows whether it has sub-folders.
    void openNode(int index);
    // Clicking the tree: saves DirName as the last opened directory, then raises Click.
    void clickTree();

    // The result of looking a path up level by level in the tree.
    struct PathLookup
    {
        int node = -1;      // deepest level found, -1 when none
        bool found = false; // whether the last level tried was found
    };
    // The lookup of 打开指定目录: the first part of the path is never looked up.
    PathLookup findPath(const QString &path) const;

    QString DirName() const { return m_dirName; }
    // Sets DirName and raises Click; neither the tree nor the settings change.
    void setDirName(const QString &dirName);
    // Drive: the mount point of the volume holding DirName; empty when none does.
    QString Drive() const;
    // DriveName: the label of Drive's volume; "Hard Drive" for a fixed volume
    // without one; empty when DirName lies on no volume.
    QString DriveName() const;
    // DiskSpaceInBytes: free bytes of the volume holding the path; -1 on failure.
    double DiskSpaceInBytes(const QString &drive) const;
    // DriveSpace: free bytes of Drive as "###,###" and " bytes"; after a failed
    // query the message "Function failed!" and an empty text.
    QString DriveSpace() const;

    QString desktopPath() const { return m_desktopPath; }
    QString documentsPath() const { return m_documentsPath; }

    int nodeCount() const { return int(m_nodes.size()); }
    const Node &node(int index) const { return m_nodes.at(index); }
    int indexOfKey(const QString &key) const; // -1 when absent

signals:
    void nodesCleared();
    void nodeAdded(int index);
    void nodeChanged(int index); // caption or expanded picture
    void busyChanged(bool busy);
    void NodeClick(int index);
    void Click();
    void DirNameChanged(const QString &dirName);

private:
    int addNode(int parent, Kind kind, const QString &key, const QString &caption, const QString &picture,
                const QString &path);
    void addDrive(const Volume &volume);
    // AddSubFolders: adds the sub-folders of a folder as children of the node;
    // under the desktop two levels.
    void addSubFolders(int parent, QString keyBase, QString pathBase);
    void renewCdCaption(int index);
    const Volume *volumeHolding(const QString &path, const QList<Volume> &volumes) const;

    FolderTreePlatform m_platform;
    SettingsStore &m_settings;
    Prompts &m_prompts;
    QList<Node> m_nodes;
    QHash<QString, int> m_indexByKey; // lower-cased key
    QString m_dirName;
    QString m_lastOpenedDir;
    QString m_desktopPath;
    QString m_documentsPath;
};
