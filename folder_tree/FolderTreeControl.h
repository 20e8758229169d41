#pragma once

#include "folder_tree/FolderTreeModel.h"

#include <QList>
#include <QWidget>

class DirTreeWidget;
class FolderPictures;
class QLabel;
class QTreeWidgetItem;

// usrDir: the folder-tree control. It shows FolderTreeModel's nodes in DirTree
// with the pictures of img1, shows the busy banner Picture1 while folders are
// read, and raises the events a host listens to. A host reads DirName after
// NodeClick or Click and calls openDirectory to show a folder.
class FolderTreeControl final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString DirName READ DirName WRITE setDirName NOTIFY DirNameChanged)

public:
    FolderTreeControl(FolderTreePlatform platform, SettingsStore &settings, Prompts &prompts,
                      QWidget *parent = nullptr);

    QString DirName() const { return m_model->DirName(); }
    // Sets DirName and raises Click; the selection stays where it is.
    void setDirName(const QString &dirName) { m_model->setDirName(dirName); }
    QString Drive() const { return m_model->Drive(); }
    QString DriveName() const { return m_model->DriveName(); }
    double DiskSpaceInBytes(const QString &drive) const { return m_model->DiskSpaceInBytes(drive); }
    QString DriveSpace() const { return m_model->DriveSpace(); }
    void LoadTreeView() { m_model->LoadTreeView(); }

    // 打开指定目录: selects the deepest node of the path already in the tree,
    // opens it (which reads one level more) and scrolls it into view. True when
    // the last level tried was found.
    bool openDirectory(const QString &path);

    FolderTreeModel &model() { return *m_model; }
    DirTreeWidget *tree() const { return m_tree; }
    QTreeWidgetItem *item(int index) const { return m_items.value(index); }
    int indexOf(const QTreeWidgetItem *item) const;

signals:
    void Click();
    void DblClick(); // declared for hosts; the tree never raises it
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void KeyUp(int keyCode, int shift);
    void NodeClick(QTreeWidgetItem *node);
    void DirNameChanged(const QString &dirName);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void clearItems();
    void addItem(int index);
    void refreshItem(int index);
    void showBusy(bool busy);
    void bindTree();

    FolderTreeModel *m_model = nullptr;
    DirTreeWidget *m_tree = nullptr;
    QLabel *m_banner = nullptr;
    FolderPictures *m_pictures = nullptr;
    QList<QTreeWidgetItem *> m_items; // by node index
};
