#include "folder_tree/FolderTreeModel.h"

#include "folder_tree/DriveSpace.h"
#include "folder_tree/FolderTreeTexts.h"
#include "folder_tree/ProperCase.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "platform/SettingsStore.h"
#include "settings/SettingsKeys.h"

#include <QDir>
#include <QFileInfo>

using namespace FolderTreeText;

namespace {

QString withSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// The number in a drive node's key: given to a volume the first time any tree
// of this run sees it and kept for the rest of the run, so that a rebuild or a
// volume mounted in between never gives a volume another key.
int volumeNumber(const Volume &volume)
{
    static QHash<QString, int> numbers;
    const QString identity = volume.device + QLatin1Char('\n') + volume.mountPoint;
    auto found = numbers.constFind(identity);
    if (found != numbers.constEnd())
        return *found;
    const int number = int(numbers.size()) + 1;
    numbers.insert(identity, number);
    return number;
}

QString drivePicture(DriveType type)
{
    switch (type) {
    case DriveType::Removable: return kPictureRemovable;
    case DriveType::Fixed: return kPictureFixed;
    case DriveType::Network: return kPictureRemote;
    case DriveType::CdRom: return kPictureCd;
    case DriveType::RamDisk: return kPictureRam;
    case DriveType::Unknown: return kPictureUnknown;
    case DriveType::NoRootDirectory: break;
    }
    return QString();
}

QString emptyLabelCaption(DriveType type)
{
    switch (type) {
    case DriveType::Removable: return kRemovableCaption;
    case DriveType::Fixed: return kFixedCaption;
    case DriveType::CdRom: return kCdCaption;
    default: return QString();
    }
}

QString driveCaption(const QString &label, const QString &mountPoint)
{
    return label + QStringLiteral(" (") + mountPoint + QLatin1Char(')');
}

bool isFolderUnder(const QString &path, const QString &mountPoint)
{
    const QString root = withSeparator(mountPoint);
    return path == mountPoint || path.startsWith(root);
}

} // namespace

FolderTreeModel::FolderTreeModel(FolderTreePlatform platform, SettingsStore &settings, Prompts &prompts,
                                 QObject *parent)
    : QObject(parent), m_platform(std::move(platform)), m_settings(settings), m_prompts(prompts)
{
    m_desktopPath = QDir::fromNativeSeparators(m_platform.desktopPath());
    m_documentsPath = QDir::fromNativeSeparators(m_platform.documentsPath());
    const QString programFolder = QDir::fromNativeSeparators(ProgramFolder());
    m_lastOpenedDir = m_settings.GetSetting(SettingsKey::kApplication, SettingsKey::kSectionSettings,
                                            SettingsKey::kLastOpenedFolder, programFolder);
    m_dirName = QFileInfo(m_lastOpenedDir).isDir() ? m_lastOpenedDir : programFolder;
    LoadTreeView();
}

void FolderTreeModel::LoadTreeView()
{
    m_nodes.clear();
    m_indexByKey.clear();
    emit nodesCleared();
    emit busyChanged(true);

    const int desktop = addNode(-1, Kind::Desktop, kDesktopKey, kDesktopCaption, kPictureDesktop, m_desktopPath);
    const int documents =
        addNode(desktop, Kind::Documents, kDocumentsKey, kDocumentsCaption, kPictureFolder, m_documentsPath);
    if (!m_documentsPath.isEmpty()) {
        m_documentsPath = withSeparator(m_documentsPath);
        m_nodes[documents].path = m_documentsPath;
        addSubFolders(documents, m_documentsPath, m_documentsPath);
    }
    addNode(desktop, Kind::Computer, kComputerKey, kComputerCaption, kPictureComputer, QString());
    for (const Volume &volume : m_platform.volumes())
        addDrive(volume);
    if (!m_desktopPath.isEmpty()) {
        m_desktopPath = withSeparator(m_desktopPath);
        m_nodes[desktop].path = m_desktopPath;
        addSubFolders(desktop, m_desktopPath, m_desktopPath);
    }
    emit busyChanged(false);
}

void FolderTreeModel::addDrive(const Volume &volume)
{
    const QString picture = drivePicture(volume.type);
    if (picture.isEmpty())
        return;
    // A volume's own label shows in proper case; the captions for an empty
    // label show as they are written.
    const QString label =
        volume.ready && !volume.label.isEmpty() ? ProperCase(volume.label) : emptyLabelCaption(volume.type);
    const int drive =
        addNode(indexOfKey(kComputerKey), Kind::Drive, kDrivePrefix + QString::number(volumeNumber(volume)),
                driveCaption(label, volume.mountPoint), picture, volume.mountPoint);
    if (drive < 0)
        return;
    m_nodes[drive].mountPoint = volume.mountPoint;
    m_nodes[drive].driveType = volume.type;
    // A removable medium is read only when its node is clicked.
    if (volume.type != DriveType::Removable)
        addSubFolders(drive, volume.mountPoint, volume.mountPoint);
}

int FolderTreeModel::addNode(int parent, Kind kind, const QString &key, const QString &caption, const QString &picture,
                             const QString &path)
{
    const QString lookupKey = key.toLower();
    if (m_indexByKey.contains(lookupKey))
        return -1; // the key is taken: the folder shows where it was added first
    Node node;
    node.key = key;
    node.caption = caption;
    node.picture = picture;
    node.kind = kind;
    node.parent = parent;
    node.path = path;
    const int index = int(m_nodes.size());
    m_nodes.append(node);
    m_indexByKey.insert(lookupKey, index);
    if (parent >= 0)
        m_nodes[parent].children.append(index);
    emit nodeAdded(index);
    return index;
}

void FolderTreeModel::addSubFolders(int parent, QString keyBase, QString pathBase)
{
    if (parent < 0)
        return;
    keyBase = withSeparator(keyBase);
    pathBase = withSeparator(pathBase);
    // Names are gathered before nodes are added; hidden and system folders
    // count, files never do. A folder that cannot be read gives no names.
    QStringList names;
    const QFileInfoList entries = QDir(pathBase).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir())
            names << entry.fileName();
    }
    const bool underDesktop = m_nodes.at(parent).kind == Kind::Desktop;
    for (const QString &name : names) {
        const QString key = keyBase + ProperCase(name);
        const int folder = addNode(parent, Kind::Folder, key, ProperCase(name), kPictureFolder, pathBase + name);
        // The desktop always shows two levels of folders.
        if (underDesktop && folder >= 0)
            addSubFolders(folder, key, pathBase + name);
    }
}

int FolderTreeModel::indexOfKey(const QString &key) const
{
    return m_indexByKey.value(key.toLower(), -1);
}

void FolderTreeModel::renewCdCaption(int index)
{
    Node &drive = m_nodes[index];
    for (const Volume &volume : m_platform.volumes()) {
        if (volume.mountPoint != drive.mountPoint)
            continue;
        if (volume.type == DriveType::CdRom && volume.ready) {
            drive.caption = driveCaption(ProperCase(volume.label), volume.mountPoint);
            emit nodeChanged(index);
        }
        return;
    }
}

void FolderTreeModel::clickNode(int index)
{
    if (index < 0 || index >= nodeCount())
        return;
    switch (m_nodes.at(index).kind) {
    case Kind::Drive: {
        renewCdCaption(index);
        const Node &drive = m_nodes.at(index);
        const QString root = withSeparator(drive.mountPoint);
        if (!drive.children.isEmpty()) {
            m_dirName = root;
            return;
        }
        addSubFolders(index, drive.mountPoint, drive.mountPoint);
        m_dirName = root;
        break;
    }
    case Kind::Computer: m_dirName = kComputerCaption + QLatin1Char('/'); break;
    case Kind::Desktop:
        m_dirName = m_desktopPath;
        if (!m_desktopPath.isEmpty())
            addSubFolders(index, m_desktopPath, m_desktopPath);
        break;
    case Kind::Documents:
        m_dirName = m_documentsPath;
        // Without a documents folder there is nothing to read (an empty path
        // would read the root of the current volume).
        if (!m_documentsPath.isEmpty())
            addSubFolders(index, m_documentsPath, m_documentsPath);
        break;
    case Kind::Folder: {
        const Node &folder = m_nodes.at(index);
        m_dirName = withSeparator(folder.path);
        addSubFolders(index, folder.key, folder.path);
        break;
    }
    }
    emit NodeClick(index);
}

void FolderTreeModel::openNode(int index)
{
    if (index < 0 || index >= nodeCount())
        return;
    emit busyChanged(true);
    const Kind kind = m_nodes.at(index).kind;
    if (kind != Kind::Computer && kind != Kind::Desktop) {
        const QList<int> children = m_nodes.at(index).children;
        for (int child : children)
            clickNode(child);
    }
    clickNode(index);
    if (kind == Kind::Folder && m_nodes.at(index).expandedPicture != kPictureOpen) {
        m_nodes[index].expandedPicture = kPictureOpen;
        emit nodeChanged(index);
    }
    emit busyChanged(false);
}

void FolderTreeModel::clickTree()
{
    m_settings.SaveSetting(SettingsKey::kApplication, SettingsKey::kSectionSettings, SettingsKey::kLastOpenedFolder,
                           m_dirName);
    emit Click();
}

FolderTreeModel::PathLookup FolderTreeModel::findPath(const QString &path) const
{
    const QStringList parts = QDir::fromNativeSeparators(path).split(QLatin1Char('/'));
    PathLookup lookup;
    QString current = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        current += QLatin1Char('/') + parts.at(i);
        const int index = indexOfKey(current);
        lookup.found = index >= 0;
        if (!lookup.found)
            break;
        lookup.node = index;
    }
    return lookup;
}

void FolderTreeModel::setDirName(const QString &dirName)
{
    m_dirName = dirName;
    emit Click();
    emit DirNameChanged(m_dirName);
}

const Volume *FolderTreeModel::volumeHolding(const QString &path, const QList<Volume> &volumes) const
{
    const QString absolute = QDir::fromNativeSeparators(path);
    const Volume *holding = nullptr;
    for (const Volume &volume : volumes) {
        if (isFolderUnder(absolute, volume.mountPoint)
            && (!holding || volume.mountPoint.size() > holding->mountPoint.size()))
            holding = &volume;
    }
    return holding;
}

QString FolderTreeModel::Drive() const
{
    const QList<Volume> volumes = m_platform.volumes();
    const Volume *volume = volumeHolding(m_dirName, volumes);
    return volume ? volume->mountPoint : QString();
}

QString FolderTreeModel::DriveName() const
{
    const QList<Volume> volumes = m_platform.volumes();
    const Volume *volume = volumeHolding(m_dirName, volumes);
    if (!volume)
        return QString();
    if (volume->type == DriveType::Fixed && volume->label.isEmpty())
        return kHardDrive;
    return volume->label;
}

double FolderTreeModel::DiskSpaceInBytes(const QString &drive) const
{
    if (drive.isEmpty())
        return -1;
    const QList<Volume> volumes = m_platform.volumes();
    const Volume *volume = volumeHolding(drive, volumes);
    if (!volume)
        return -1;
    return double(m_platform.freeBytes(volume->mountPoint));
}

QString FolderTreeModel::DriveSpace() const
{
    const double bytes = DiskSpaceInBytes(Drive());
    if (bytes < 0) {
        m_prompts.message(kFunctionFailed, kFunctionFailedTitle, PromptIcon::Error, PromptButtons::Ok);
        return QString();
    }
    return FormatDriveSpace(qint64(bytes));
}
