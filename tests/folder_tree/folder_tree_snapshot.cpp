// Shows usrDir as a user sees it, in a bare host window over a temporary
// folder tree, and saves a picture of it: folder-tree-snapshot OUTPUT.png
//
// The drives are volumes of every kind at mount points that hold no folders
// here, so the picture shows their captions and pictures and nothing of the
// machine it was made on.

#include "folder_tree/DirTreeWidget.h"
#include "folder_tree/FolderTreeControl.h"
#include "folder_tree/FolderTreeTexts.h"
#include "tests/folder_tree/FolderFixture.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTextStream>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc != 2) {
        QTextStream(stderr) << "usage: folder-tree-snapshot OUTPUT.png\n";
        return 2;
    }

    FolderFixture fixture;
    fixture.mkdir("docs/论文/2024");
    fixture.mkdir("desktop/下载的文献");
    auto drive = [&](const QString &mountPoint, DriveType type, const QString &label) {
        Volume volume = fixture.volume("", type, label, 1);
        volume.mountPoint = mountPoint;
        volume.device = mountPoint;
        return volume;
    };
    fixture.volumes() = {drive("/mnt/archive", DriveType::Fixed, ""),
                         drive("/mnt/cdrom", DriveType::CdRom, ""),
                         drive("/mnt/library", DriveType::Network, "papers share"),
                         drive("/mnt/overlay", DriveType::Unknown, ""),
                         drive("/mnt/ramdisk", DriveType::RamDisk, ""),
                         drive("/mnt/stick", DriveType::Removable, "")};

    TempSettings settings;
    PromptRecorder prompts;
    QWidget host;
    host.setWindowTitle(QStringLiteral("usrDir"));
    auto *layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *control = new FolderTreeControl(fixture.platform(), settings.store(), prompts);
    layout->addWidget(control);
    host.resize(300, 420);
    host.show();

    DirTreeWidget *tree = control->tree();
    FolderTreeModel &model = control->model();
    auto itemOf = [&](const QString &key) { return control->item(model.indexOfKey(key)); };
    tree->expandItem(itemOf(FolderTreeText::kDesktopKey));
    tree->expandItem(itemOf(FolderTreeText::kDocumentsKey));
    tree->expandItem(itemOf(fixture.path("docs/Alpha")));
    tree->expandItem(itemOf(FolderTreeText::kComputerKey));
    tree->setCurrentItem(itemOf(fixture.path("docs/Alpha")));
    tree->setFocus();

    if (!host.grab().save(QString::fromLocal8Bit(argv[1]))) {
        QTextStream(stderr) << "cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
