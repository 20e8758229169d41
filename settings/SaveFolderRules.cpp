#include "settings/SaveFolderRules.h"

#include "common/FileNames.h"
#include "common/SessionSettings.h"
#include "platform/Prompts.h"
#include "settings/SettingsTexts.h"
#include "settings/StoredSettings.h"

#include <QDir>

namespace {

// The number of folder names in a path: "/a/b/" and "/a//b" both hold two.
qsizetype folderDepth(const QString &path)
{
    return path.split(QDir::separator(), Qt::SkipEmptyParts).size();
}

} // namespace

SaveFolderOutcome ConfirmSaveFolder(const QString &boxText, bool keepOriginalFileName, StoredSettings &stored,
                                    SessionSettings &session, Prompts &prompts)
{
    session.KeepOriginalFileName = keepOriginalFileName;

    const QChar separator = QDir::separator();
    SaveFolderOutcome outcome;
    // A blank box would otherwise name the root folder.
    if (!boxText.trimmed().isEmpty()) {
        QString folder = QDir::toNativeSeparators(boxText);
        if (!folder.endsWith(separator))
            folder += separator;
        outcome.boxText = CreateFolderPath(folder, prompts);
        // The folder walk stops at a name it cannot use and hands back the
        // folder above it; that is not the folder the user asked for.
        if (folderDepth(outcome.boxText) != folderDepth(folder))
            outcome.boxText.clear();
    } else {
        outcome.boxText = boxText;
    }
    if (outcome.boxText.trimmed().isEmpty()) {
        prompts.error(SettingsText::kFolderSettingWrong);
        return outcome;
    }

    outcome.accepted = true;
    session.SaveFolder = outcome.boxText.endsWith(separator) ? outcome.boxText : outcome.boxText + separator;
    stored.saveSaveFolder(session.SaveFolder);
    return outcome;
}
