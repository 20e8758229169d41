#pragma once

#include <QFrame>

// PicBar, the bar between the browser pane and the list pane. Pressing a
// mouse button on it brings it to the front; moving the mouse with the left
// button held moves it up or down with the pointer; releasing the button
// asks the window to lay itself out again, which also puts a bar dropped too
// low or too high back in its place.
class SplitterBar final : public QFrame
{
    Q_OBJECT

public:
    explicit SplitterBar(QWidget *parent = nullptr);

signals:
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_grabY = 0; // where in the bar the pointer took it
};
