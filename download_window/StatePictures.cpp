#include "download_window/StatePictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSide = 16;

void drawWaiting(QPainter &painter)
{
    painter.setPen(QPen(QColor(110, 110, 110), 1.5));
    painter.setBrush(QColor(240, 240, 240));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.drawLine(QPointF(8, 8), QPointF(8, 4));
    painter.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

void drawDownloading(QPainter &painter)
{
    QPainterPath arrow;
    arrow.moveTo(5.5, 1.5);
    arrow.lineTo(10.5, 1.5);
    arrow.lineTo(10.5, 7.5);
    arrow.lineTo(14, 7.5);
    arrow.lineTo(8, 14.5);
    arrow.lineTo(2, 7.5);
    arrow.lineTo(5.5, 7.5);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(20, 70, 160), 1));
    painter.setBrush(QColor(60, 130, 220));
    painter.drawPath(arrow);
}

void drawFinished(QPainter &painter)
{
    painter.setPen(QPen(QColor(30, 140, 50), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
}

void drawFailed(QPainter &painter)
{
    painter.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    painter.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

} // namespace

QPixmap StatePicture(int state)
{
    if (state < 1 || state > 4)
        return QPixmap();
    QPixmap picture(kSide, kSide);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (state) {
    case 1: drawWaiting(painter); break;
    case 2: drawDownloading(painter); break;
    case 3: drawFinished(painter); break;
    case 4: drawFailed(painter); break;
    }
    return picture;
}
