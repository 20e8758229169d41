#include "folder_tree/FolderPictures.h"

#include "folder_tree/FolderTreeTexts.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

using namespace FolderTreeText;

namespace {

constexpr int kSize = 16;

QIcon drawn(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

void folder(QPainter &p, bool open)
{
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
    if (open) {
        QPainterPath front;
        front.moveTo(3.5, 7.5);
        front.lineTo(15.5, 7.5);
        front.lineTo(13.5, 13.5);
        front.lineTo(1.5, 13.5);
        front.closeSubpath();
        p.setBrush(QColor(255, 230, 140));
        p.drawPath(front);
    }
}

// A drive: a flat box with a light; the accent says its kind.
void driveBox(QPainter &p, const QColor &body)
{
    p.setPen(QColor(70, 70, 70));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QRectF(11, 8, 2, 2));
}

} // namespace

FolderPictures::FolderPictures(QObject *parent) : QObject(parent)
{
    setObjectName(kPicturesName);
    m_pictures.insert(kPictureFolder, drawn([](QPainter &p) { folder(p, false); }));
    m_pictures.insert(kPictureOpen, drawn([](QPainter &p) { folder(p, true); }));
    m_pictures.insert(kPictureFixed, drawn([](QPainter &p) { driveBox(p, QColor(200, 200, 200)); }));
    m_pictures.insert(kPictureRemovable, drawn([](QPainter &p) {
                          driveBox(p, QColor(220, 220, 200));
                          p.setPen(QColor(40, 40, 40));
                          p.drawLine(QPointF(3.5, 8.5), QPointF(9.5, 8.5)); // the slot
                      }));
    m_pictures.insert(kPictureCd, drawn([](QPainter &p) {
                          p.setPen(QColor(90, 90, 120));
                          p.setBrush(QColor(200, 210, 235));
                          p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
                          p.setBrush(Qt::white);
                          p.drawEllipse(QRectF(6, 6, 4, 4));
                      }));
    m_pictures.insert(kPictureRemote, drawn([](QPainter &p) {
                          driveBox(p, QColor(200, 200, 200));
                          p.setPen(QPen(QColor(30, 80, 170), 1.5));
                          p.drawLine(QPointF(8, 11.5), QPointF(8, 15));
                          p.drawLine(QPointF(3, 15), QPointF(13, 15));
                      }));
    m_pictures.insert(kPictureRam, drawn([](QPainter &p) {
                          p.setPen(QColor(30, 90, 40));
                          p.setBrush(QColor(60, 150, 80));
                          p.drawRect(QRectF(1.5, 4.5, 13, 6));
                          for (int x = 3; x <= 13; x += 2)
                              p.drawLine(QPointF(x, 10.5), QPointF(x, 13));
                      }));
    m_pictures.insert(kPictureUnknown, drawn([](QPainter &p) {
                          driveBox(p, QColor(200, 200, 200));
                          p.setPen(QColor(180, 30, 30));
                          QFont font = p.font();
                          font.setPixelSize(9);
                          font.setBold(true);
                          p.setFont(font);
                          p.drawText(QRectF(0, 0, kSize, 6), Qt::AlignCenter, QStringLiteral("?"));
                      }));
    m_pictures.insert(kPictureComputer, drawn([](QPainter &p) {
                          p.setPen(QColor(60, 60, 60));
                          p.setBrush(QColor(110, 160, 220));
                          p.drawRect(QRectF(1.5, 1.5, 13, 9));
                          p.setBrush(QColor(180, 180, 180));
                          p.drawRect(QRectF(5.5, 11.5, 5, 1.5));
                          p.drawRect(QRectF(3.5, 13.5, 9, 1.5));
                      }));
    m_pictures.insert(kPictureDesktop, drawn([](QPainter &p) {
                          p.setPen(QColor(40, 60, 120));
                          p.setBrush(QColor(60, 120, 200));
                          p.drawRect(QRectF(0.5, 2.5, 15, 11));
                          p.setPen(Qt::NoPen);
                          p.setBrush(QColor(240, 200, 80));
                          p.drawRect(QRectF(2, 4, 3, 2.5));
                          p.setBrush(Qt::white);
                          p.drawRect(QRectF(2, 8, 3, 3));
                      }));
}

QPixmap BusyBannerPixmap()
{
    QPixmap pixmap(136, 24);
    pixmap.fill(QColor(255, 255, 225));
    QPainter painter(&pixmap);
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(0, 0, 135, 23);
    painter.setPen(Qt::black);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, kBannerText);
    return pixmap;
}
