#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Prompts;
class StoredSettings;
struct SessionSettings;

// fSeleFileSavePath, the save-folder dialog: where the articles handed to the
// download list are stored and whether they keep their own file names. The
// caller reads SaveFolderDialogCancelled afterwards and, when it is false,
// SaveFolder and KeepOriginalFileName. "确定" is the default button (Enter);
// Escape and the close box act as "取消".
class SaveFolderDialog final : public QDialog
{
    Q_OBJECT

public:
    // historyPath: the folder history file (the program's "SaveList.dat").
    SaveFolderDialog(StoredSettings &stored, SessionSettings &session, Prompts &prompts,
                      const QString &historyPath, QWidget *parent = nullptr);

    // Creates the dialog over the program's history file, shows it modally and
    // destroys it when it closes.
    static void showModal(StoredSettings &stored, SessionSettings &session, Prompts &prompts,
                          QWidget *parent = nullptr);

    QLabel *Label1;
    QComboBox *Combo1;
    QPushButton *Command1;
    QLabel *Label3;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QPushButton *Command2;
    QPushButton *Command3;

    void reject() override;

private:
    void buildControls();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    StoredSettings &m_stored;
    SessionSettings &m_session;
    Prompts &m_prompts;
    QString m_historyPath;
};
