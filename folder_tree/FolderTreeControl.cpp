#include "folder_tree/FolderTreeControl.h"

#include "folder_tree/DirTreeWidget.h"
#include "folder_tree/FolderPictures.h"
#include "folder_tree/FolderTreeTexts.h"
#include "folder_tree/KeyCodes.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

using namespace FolderTreeText;

FolderTreeControl::FolderTreeControl(FolderTreePlatform platform, SettingsStore &settings, Prompts &prompts,
                                     QWidget *parent)
    : QWidget(parent)
{
    setObjectName(kControlName);
    m_pictures = new FolderPictures(this);
    m_tree = new DirTreeWidget(this);
    m_banner = new QLabel(this);
    m_banner->setObjectName(kBannerName);
    m_banner->setAccessibleName(kBannerText);
    m_banner->setPixmap(BusyBannerPixmap());
    m_banner->setFixedSize(136, 24);
    m_banner->hide();
    setFocusProxy(m_tree);

    m_model = new FolderTreeModel(std::move(platform), settings, prompts, this);
    connect(m_model, &FolderTreeModel::nodesCleared, this, &FolderTreeControl::clearItems);
    connect(m_model, &FolderTreeModel::nodeAdded, this, &FolderTreeControl::addItem);
    connect(m_model, &FolderTreeModel::nodeChanged, this, &FolderTreeControl::refreshItem);
    connect(m_model, &FolderTreeModel::busyChanged, this, &FolderTreeControl::showBusy);
    connect(m_model, &FolderTreeModel::NodeClick, this, [this](int index) { emit NodeClick(item(index)); });
    connect(m_model, &FolderTreeModel::Click, this, &FolderTreeControl::Click);
    connect(m_model, &FolderTreeModel::DirNameChanged, this, &FolderTreeControl::DirNameChanged);
    // The model built the first tree while it was made: show what is there.
    for (int index = 0; index < m_model->nodeCount(); ++index)
        addItem(index);
    bindTree();
}

void FolderTreeControl::bindTree()
{
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *clicked) { m_model->clickNode(indexOf(clicked)); });
    connect(m_tree, &DirTreeWidget::keyboardSelected, this,
            [this](QTreeWidgetItem *selected) { m_model->clickNode(indexOf(selected)); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *opened) {
        const int index = indexOf(opened);
        m_model->openNode(index);
        refreshItem(index);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *closed) { refreshItem(indexOf(closed)); });

    connect(m_tree, &DirTreeWidget::mousePressed, this, [this](QMouseEvent *event) {
        emit MouseDown(MouseButtonCode(event->buttons() | event->button()), ShiftState(event->modifiers()),
                       float(event->position().x()), float(event->position().y()));
    });
    connect(m_tree, &DirTreeWidget::mouseMoved, this, [this](QMouseEvent *event) {
        emit MouseMove(MouseButtonCode(event->buttons()), ShiftState(event->modifiers()), float(event->position().x()),
                       float(event->position().y()));
    });
    connect(m_tree, &DirTreeWidget::mouseReleased, this, [this](QMouseEvent *event) {
        emit MouseUp(MouseButtonCode(event->button()), ShiftState(event->modifiers()), float(event->position().x()),
                     float(event->position().y()));
        m_model->clickTree();
    });
    connect(m_tree, &DirTreeWidget::keyPressed, this, [this](QKeyEvent *event) {
        const int keyCode = VirtualKeyCode(event->key());
        if (keyCode == kKeyF5)
            m_model->LoadTreeView();
        emit KeyDown(keyCode, ShiftState(event->modifiers()));
    });
    connect(m_tree, &DirTreeWidget::keyTyped, this,
            [this](QKeyEvent *event) { emit KeyPress(event->text().at(0).unicode()); });
    connect(m_tree, &DirTreeWidget::keyReleased, this,
            [this](QKeyEvent *event) { emit KeyUp(VirtualKeyCode(event->key()), ShiftState(event->modifiers())); });
}

int FolderTreeControl::indexOf(const QTreeWidgetItem *treeItem) const
{
    return treeItem ? treeItem->data(0, Qt::UserRole).toInt() : -1;
}

void FolderTreeControl::clearItems()
{
    m_items.clear();
    m_tree->clear();
}

void FolderTreeControl::addItem(int index)
{
    const FolderTreeModel::Node &node = m_model->node(index);
    QTreeWidgetItem *parentItem = item(node.parent);
    auto *added = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(m_tree);
    added->setData(0, Qt::UserRole, index);
    added->setText(0, node.caption);
    added->setIcon(0, m_pictures->picture(node.picture));
    m_items.append(added);
}

void FolderTreeControl::refreshItem(int index)
{
    QTreeWidgetItem *shown = item(index);
    if (!shown)
        return;
    const FolderTreeModel::Node &node = m_model->node(index);
    shown->setText(0, node.caption);
    const bool open = shown->isExpanded() && !node.expandedPicture.isEmpty();
    shown->setIcon(0, m_pictures->picture(open ? node.expandedPicture : node.picture));
}

void FolderTreeControl::showBusy(bool busy)
{
    m_banner->setVisible(busy);
    if (busy) {
        m_banner->raise();
        m_banner->repaint(); // painted now: the read that follows keeps the event loop busy
    }
}

bool FolderTreeControl::openDirectory(const QString &path)
{
    showBusy(true);
    const FolderTreeModel::PathLookup lookup = m_model->findPath(path);
    if (QTreeWidgetItem *found = item(lookup.node)) {
        m_tree->setCurrentItem(found); // a selection by the program raises no NodeClick
        if (found->childCount() > 0)
            m_tree->expandItem(found); // opening reads the level below each child
        m_tree->scrollToItem(found);
    }
    showBusy(false);
    return lookup.found;
}

void FolderTreeControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_tree->setGeometry(0, 0, width(), height());
    m_banner->move((width() - m_banner->width()) / 2, (height() - m_banner->height()) / 2);
}
