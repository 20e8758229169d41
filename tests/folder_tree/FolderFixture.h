#pragma once

#include "folder_tree/FolderTreePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A temporary folder tree that plays the user's desktop, documents folder and
// volumes:
//
//   desktop/   Deska/{inner}  deskb (only a file)  .hidden_desk
//   docs/      alpha/{beta}  program files  onlyfiles (only a file)  .hidden
//   usb/       stick/              (a removable volume)
//   disk/      data/{deep}         (a fixed volume)
//
// The platform functions read the volume list at each call, so a test can
// change it between calls.
class FolderFixture
{
    QTemporaryDir m_dir; // first: the paths below are made from it

public:
    FolderFixture()
    {
        for (const char *folder :
             {"desktop/Deska/inner", "desktop/deskb", "desktop/.hidden_desk", "docs/alpha/beta", "docs/program files",
              "docs/onlyfiles", "docs/.hidden", "usb/stick", "disk/data/deep"})
            mkdir(folder);
        touch("desktop/deskb/note.txt");
        touch("docs/onlyfiles/paper.pdf");
        touch("docs/loose.txt");
        *m_volumes = {volume("disk", DriveType::Fixed, "", 5368709121),
                      volume("usb", DriveType::Removable, "stick", 0)};
    }

    QString path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? m_dir.path() : m_dir.path() + "/" + relative;
    }
    void mkdir(const QString &relative) const { QDir().mkpath(path(relative)); }
    void touch(const QString &relative) const
    {
        QFile file(path(relative));
        file.open(QIODevice::WriteOnly);
    }
    void remove(const QString &relative) const { QDir(path(relative)).removeRecursively(); }

    Volume volume(const QString &relative, DriveType type, const QString &label, qint64 freeBytes) const
    {
        Volume v;
        v.mountPoint = relative.isEmpty() ? path() : path(relative);
        v.device = "/dev/test-" + relative;
        v.label = label;
        v.type = type;
        v.freeBytes = freeBytes;
        return v;
    }
    QList<Volume> &volumes() { return *m_volumes; }

    FolderTreePlatform platform() const
    {
        FolderTreePlatform platform;
        platform.desktopPath = [this] { return m_desktop; };
        platform.documentsPath = [this] { return m_documents; };
        auto volumes = m_volumes;
        platform.volumes = [volumes] { return *volumes; };
        platform.freeBytes = [volumes](const QString &mountPoint) -> qint64 {
            for (const Volume &v : *volumes)
                if (v.mountPoint == mountPoint)
                    return v.freeBytes;
            return -1;
        };
        return platform;
    }

    QString m_desktop = path("desktop");
    QString m_documents = path("docs");

private:
    std::shared_ptr<QList<Volume>> m_volumes = std::make_shared<QList<Volume>>();
};
