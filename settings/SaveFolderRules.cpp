#include "settings/SaveFolderRules.h"

#include "engine/Naming.h"
#include "platform/Prompts.h"
#include "common/SessionSettings.h"
#include "settings/SettingsTexts.h"
#include "settings/StoredSettings.h"

#include <QDir>

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
    session.SaveFolderDialogCancelled = false;
    return outcome;
}
