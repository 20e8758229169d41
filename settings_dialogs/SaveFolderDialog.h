#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Prompts;
class StoredSettings;
struct SessionSettings;

// fSeleFileSavePath, the save-folder dialog: where the articles handed to the
// download list are stored and whether they keep their own file names. It
// answers through `answered` once it has closed: confirmed, the session
// settings hold the new SaveFolder and KeepOriginalFileName. "确定" is the
// default button (Enter); Escape and the close box act as "取消".
class SaveFolderDialog final : public QDialog
{
    Q_OBJECT

public:
    // historyPath: the folder history file (the program's "SaveList.dat").
    SaveFolderDialog(StoredSettings &stored, SessionSettings &session, Prompts &prompts, const QString &historyPath,
                     QWidget *parent = nullptr);

    // The one way the program asks: creates the dialog over the program's
    // history file, opens it window-modal over `parent` and returns at once.
    // `answered` runs once with the answer, while `context` lives; the dialog
    // destroys itself after answering.
    static SaveFolderDialog *ask(StoredSettings &stored, SessionSettings &session, Prompts &prompts, QWidget *parent,
                                 QObject *context, std::function<void(bool confirmed)> answered);

    QLabel *Label1;
    QComboBox *Combo1;
    QPushButton *Command1;
    QLabel *Label3;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QPushButton *Command2;
    QPushButton *Command3;

    void done(int result) override;

signals:
    // The dialog has closed: true after "确定" stored the folder, false after
    // "取消", Escape or the close box.
    void answered(bool confirmed);

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
