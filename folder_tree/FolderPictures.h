#pragma once

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPixmap>

// img1: the ten pictures of the tree, drawn at run time and looked up by their
// keys ("folder", "open", "fixed", ...). An unknown key gives a null icon.
class FolderPictures final : public QObject
{
    Q_OBJECT

public:
    explicit FolderPictures(QObject *parent = nullptr);
    QIcon picture(const QString &key) const { return m_pictures.value(key); }
    QStringList keys() const { return m_pictures.keys(); }

private:
    QHash<QString, QIcon> m_pictures;
};

// Picture1's content: the 136 × 24 busy banner.
QPixmap BusyBannerPixmap();
