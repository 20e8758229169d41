#pragma once

#include "copy_move/CopyRules.h"

#include <QDialog>
#include <QStringList>
#include <memory>

class Prompts;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class StoredSettings;

// Form_Copy_Move: copies (or moves) the files of FileList into one folder,
// deciding by the chosen option what to do with a name that is taken. A run
// handles one file per turn of the event loop, so "停止" and the window stay
// responsive.
class CopyMoveDialog : public QDialog
{
    Q_OBJECT

public:
    CopyMoveDialog(StoredSettings &stored, Prompts &prompts, const QString &historyPath, bool isMove,
                   QWidget *parent = nullptr);
    ~CopyMoveDialog() override;

    QStringList FileList;
    const bool IsMove;
    QString DestinationFolder;

    // 执行: checks and remembers the destination, then starts a run (or stops
    // the one in progress). `announceEnd` shows the completion message.
    void run(bool announceEnd);
    bool isRunning() const { return m_running; }

    QComboBox *Combo1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1[6] = {}; // indexes 1 to 5
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;

    // Closing ends a run in progress without its message and discards FileList.
    void done(int result) override;

signals:
    void runFinished();

private:
    void buildControls();
    int selectedOption() const;
    void nextStep();
    void clearRun();
    void finishRun();

    StoredSettings &m_stored;
    Prompts &m_prompts;
    QString m_historyPath;
    int m_optionIndex = 0;
    bool m_running = false;
    bool m_announceEnd = false;
    bool m_showNext = true; // a step first shows its file, then copies it a turn later
    std::unique_ptr<CopyRun> m_run;
};
