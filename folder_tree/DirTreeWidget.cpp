#include "folder_tree/DirTreeWidget.h"

#include "folder_tree/FolderTreeTexts.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

DirTreeWidget::DirTreeWidget(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(FolderTreeText::kTreeName);
    setAccessibleName(FolderTreeText::kTreeAccessibleName);
    setHeaderHidden(true);
    setColumnCount(1);
    setSortingEnabled(false); // nodes stay in the order they were added
    setFocusPolicy(Qt::StrongFocus);
}

void DirTreeWidget::mousePressEvent(QMouseEvent *event)
{
    QTreeWidget::mousePressEvent(event);
    emit mousePressed(event);
}

void DirTreeWidget::mouseMoveEvent(QMouseEvent *event)
{
    QTreeWidget::mouseMoveEvent(event);
    emit mouseMoved(event);
}

void DirTreeWidget::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    emit mouseReleased(event);
}

void DirTreeWidget::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(event);
    QTreeWidgetItem *before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before)
        emit keyboardSelected(currentItem());
    if (!event->text().isEmpty())
        emit keyTyped(event);
}

void DirTreeWidget::keyReleaseEvent(QKeyEvent *event)
{
    QTreeWidget::keyReleaseEvent(event);
    emit keyReleased(event);
}
