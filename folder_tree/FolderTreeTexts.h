#pragma once

#include <QString>

// Keys, captions, picture keys, object names and messages of the folder-tree
// control, defined once.
namespace FolderTreeText {

// Object names of the control and its parts.
inline const QString kControlName = QStringLiteral("usrDir");
inline const QString kTreeName = QStringLiteral("DirTree");
inline const QString kPicturesName = QStringLiteral("img1");
inline const QString kBannerName = QStringLiteral("Picture1");
inline const QString kTreeAccessibleName = QStringLiteral("文件夹");
inline const QString kBannerText = QStringLiteral("正在读取文件夹…");

// Keys and captions of the fixed nodes.
inline const QString kDesktopKey = QStringLiteral("root61_Desktop");
inline const QString kDocumentsKey = QStringLiteral("root62_MyDoc");
inline const QString kComputerKey = QStringLiteral("root63_mycomputer");
inline const QString kDrivePrefix = QStringLiteral("rootqmx");
inline const QString kDesktopCaption = QStringLiteral("桌面");
inline const QString kDocumentsCaption = QStringLiteral("我的文档");
inline const QString kComputerCaption = QStringLiteral("我的电脑");

// Captions of drives whose label is empty.
inline const QString kRemovableCaption = QStringLiteral("3.5 英寸软盘");
inline const QString kFixedCaption = QStringLiteral("本地磁盘");
inline const QString kCdCaption = QStringLiteral("CD 驱动器");

// The ten picture keys of img1.
inline const QString kPictureUnknown = QStringLiteral("unknown");
inline const QString kPictureFixed = QStringLiteral("fixed");
inline const QString kPictureRam = QStringLiteral("ram");
inline const QString kPictureRemovable = QStringLiteral("remove");
inline const QString kPictureCd = QStringLiteral("cd");
inline const QString kPictureFolder = QStringLiteral("folder");
inline const QString kPictureOpen = QStringLiteral("open");
inline const QString kPictureRemote = QStringLiteral("remote");
inline const QString kPictureComputer = QStringLiteral("MyComputer");
inline const QString kPictureDesktop = QStringLiteral("Desktop");

// DriveName of a fixed volume without a label.
inline const QString kHardDrive = QStringLiteral("Hard Drive");

// DriveSpace.
inline const QString kBytesSuffix = QStringLiteral(" bytes");
inline const QString kFunctionFailed = QStringLiteral("Function failed!");
inline const QString kFunctionFailedTitle = QStringLiteral("Error");

} // namespace FolderTreeText
