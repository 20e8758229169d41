#include "search_window/SplitterBar.h"

#include <QMouseEvent>

SplitterBar::SplitterBar(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setCursor(Qt::SizeVerCursor);
}

void SplitterBar::mousePressEvent(QMouseEvent *event)
{
    raise();
    m_grabY = int(event->position().y());
    event->accept();
}

void SplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    move(x(), y() + int(event->position().y()) - m_grabY);
    event->accept();
}

void SplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit released();
}
