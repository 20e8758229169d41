#pragma once

#include <QTreeWidget>

// DirTree: the tree view of usrDir. It passes its raw mouse and key events on
// as signals, after the view has handled them, and tells apart a selection
// moved by the keyboard from one made by the program.
class DirTreeWidget final : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DirTreeWidget(QWidget *parent = nullptr);

signals:
    void mousePressed(QMouseEvent *event);
    void mouseMoved(QMouseEvent *event);
    void mouseReleased(QMouseEvent *event); // after a click on an item was handled
    void keyPressed(QKeyEvent *event);      // before the view moves the selection
    void keyboardSelected(QTreeWidgetItem *item);
    void keyTyped(QKeyEvent *event);
    void keyReleased(QKeyEvent *event);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
