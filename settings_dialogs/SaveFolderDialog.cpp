#include "settings_dialogs/SaveFolderDialog.h"

#include "common/SessionSettings.h"
#include "settings/FolderHistory.h"
#include "settings/SaveFolderRules.h"
#include "settings/SettingsTexts.h"
#include "settings/StoredSettings.h"
#include "widgets/ComboHistory.h"
#include "widgets/NamedControl.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace SettingsText;

SaveFolderDialog::SaveFolderDialog(StoredSettings &stored, SessionSettings &session, Prompts &prompts,
                                   const QString &historyPath, QWidget *parent)
    : QDialog(parent), m_stored(stored), m_session(session), m_prompts(prompts), m_historyPath(historyPath)
{
    setObjectName(kSaveFolderWindowName);
    setWindowTitle(WindowCaption(kSaveFolderCaption));
    buildControls();

    if (m_session.KeepOriginalFileName)
        Option1->setChecked(true);
    LoadComboHistory(Combo1, m_historyPath);
    m_session.SaveFolder = m_stored.saveFolder();
    Combo1->setEditText(m_session.SaveFolder);
    FitComboDropDownWidth(Combo1);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    connect(Command1, &QPushButton::clicked, this, &SaveFolderDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &SaveFolderDialog::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &SaveFolderDialog::Command3_Click);
}

void SaveFolderDialog::buildControls()
{
    Label1 = NamedControl(new QLabel(kSaveToFolder, this), "Label1");
    Combo1 = NamedControl(new QComboBox(this), "Combo1");
    Combo1->setEditable(true);
    // The list changes only through the history and OK, never by Enter in the box.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(320);
    Command1 = NamedControl(new QPushButton(kBrowse, this), "Command1");
    Label3 = NamedControl(new QLabel(kSaveNameAs, this), "Label3");
    Option1 = NamedControl(new QRadioButton(kOriginalName, this), "Option1");
    Option2 = NamedControl(new QRadioButton(kArticleTitleName, this), "Option2");
    Option2->setChecked(true);
    Command2 = NamedControl(new QPushButton(kOk, this), "Command2");
    Command3 = NamedControl(new QPushButton(kCancel, this), "Command3");
    // Enter anywhere in the dialog, the folder box included, confirms.
    Command1->setAutoDefault(false);
    Command3->setAutoDefault(false);
    Command2->setDefault(true);
    Label1->setBuddy(Combo1);

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    grid->addWidget(Command1, 0, 2);
    auto *naming = new QHBoxLayout;
    naming->addWidget(Option1);
    naming->addWidget(Option2);
    naming->addStretch();
    grid->addWidget(Label3, 1, 0);
    grid->addLayout(naming, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

SaveFolderDialog *SaveFolderDialog::ask(StoredSettings &stored, SessionSettings &session, Prompts &prompts,
                                        QWidget *parent, QObject *context, std::function<void(bool confirmed)> answered)
{
    auto *dialog = new SaveFolderDialog(stored, session, prompts, FolderHistoryFilePath(), parent);
    connect(dialog, &SaveFolderDialog::answered, context, std::move(answered));
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->open();
    return dialog;
}

// "...": the folder browser opened near the box's folder.
void SaveFolderDialog::Command1_Click()
{
    Combo1->setEditText(BrowseForFolder(m_prompts, Combo1->currentText(), kBrowseTitle));
}

// "确定".
void SaveFolderDialog::Command2_Click()
{
    const SaveFolderOutcome outcome =
        ConfirmSaveFolder(Combo1->currentText(), Option1->isChecked(), m_stored, m_session, m_prompts);
    Combo1->setEditText(outcome.boxText);
    if (!outcome.accepted)
        return;
    // Appended as it is, even when the list holds it already; the history
    // reader shows it once.
    Combo1->addItem(outcome.boxText.trimmed());
    SaveComboHistory(Combo1, m_historyPath);
    accept();
}

// "取消".
void SaveFolderDialog::Command3_Click()
{
    reject();
}

// The answer comes once the dialog has closed, so that the command that
// asked goes on without the dialog in front. "取消", Escape and the close box
// all answer "not confirmed": a dismissed dialog never lets a pass hand the
// entries over.
void SaveFolderDialog::done(int result)
{
    QDialog::done(result);
    emit answered(result == QDialog::Accepted);
}
