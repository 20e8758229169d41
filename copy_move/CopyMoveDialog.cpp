#include "copy_move/CopyMoveDialog.h"

#include "copy_move/CopyMoveTexts.h"
#include "common/FileNames.h"
#include "platform/Prompts.h"
#include "settings/FolderHistory.h"
#include "settings/StoredSettings.h"
#include "settings/SettingsTexts.h"
#include "widgets/ComboHistory.h"
#include "widgets/NamedControl.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace CopyMoveText;

namespace {

template <typename Control>
Control *accessible(Control *control, const QString &name)
{
    control->setAccessibleName(name);
    return control;
}

} // namespace

CopyMoveDialog::CopyMoveDialog(StoredSettings &stored, Prompts &prompts, const QString &historyPath, bool isMove,
                               QWidget *parent)
    : QDialog(parent), IsMove(isMove), m_stored(stored), m_prompts(prompts), m_historyPath(historyPath)
{
    setObjectName(kWindowName);
    setWindowTitle(WindowCaption(IsMove ? kMovingCaption : kCopyingCaption));
    buildControls();

    LoadComboHistory(Combo1, m_historyPath);
    DestinationFolder = m_stored.copyMoveDestination();
    FitComboDropDownWidth(Combo1);
    Combo1->setEditText(DestinationFolder);
    const int index = m_stored.copyMoveOpIndex();
    if (index >= 1 && index <= 5) {
        Option1[index]->setChecked(true);
        m_optionIndex = index;
    }

    connect(Command1, &QPushButton::clicked, this, [this] { run(true); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
    connect(Command3, &QPushButton::clicked, this, [this] {
        QString folder = BrowseForFolder(m_prompts, Combo1->currentText(), kBrowseTitle);
        if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        Combo1->setEditText(folder);
    });
}

CopyMoveDialog::~CopyMoveDialog() = default;

void CopyMoveDialog::buildControls()
{
    Label1 = NamedControl(new QLabel(kDestinationLabel, this), "Label1");
    Combo1 = accessible(NamedControl(new QComboBox(this), "Combo1"), kDestinationLabel);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(320);
    Label1->setBuddy(Combo1);
    Command3 = accessible(NamedControl(new QPushButton(kBrowse, this), "Command3"), kBrowse);

    Frame1 = accessible(NamedControl(new QGroupBox(kSameNameFrame, this), "Frame1"), kSameNameFrame);
    auto *options = new QVBoxLayout(Frame1);
    const QString captions[6] = {QString(),     kOptionSkip,        kOptionOverwrite,
                                 kOptionRename, kOptionSizeAndTime, kOptionSize};
    for (int index = 1; index <= 5; ++index) {
        auto *option = new QRadioButton(captions[index], Frame1);
        option->setObjectName(QStringLiteral("Option1(%1)").arg(index));
        option->setAccessibleName(captions[index]);
        connect(option, &QRadioButton::toggled, this, [this, index](bool on) {
            if (on)
                m_optionIndex = index;
        });
        options->addWidget(option);
        Option1[index] = option;
    }

    Label4 = NamedControl(new QLabel(kCurrentFile, this), "Label4");
    Label3 = accessible(NamedControl(new QLabel(this), "Label3"), kCurrentFile);
    Label4->setBuddy(Label3);
    Label2 = NamedControl(new QLabel(kProgress, this), "Label2");
    ProgressBar1 = accessible(NamedControl(new QProgressBar(this), "ProgressBar1"), kProgress);
    ProgressBar1->setValue(0);
    Label2->setBuddy(ProgressBar1);
    Command1 = accessible(NamedControl(new QPushButton(kStart, this), "Command1"), kStart);
    Command2 = accessible(NamedControl(new QPushButton(kClose, this), "Command2"), kClose);
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);
    Command3->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Combo1, 0, 1);
    grid->addWidget(Command3, 0, 2);
    grid->addWidget(Frame1, 1, 0, 1, 3);
    grid->addWidget(Label4, 2, 0);
    grid->addWidget(Label3, 2, 1, 1, 2);
    grid->addWidget(Label2, 3, 0);
    grid->addWidget(ProgressBar1, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

int CopyMoveDialog::selectedOption() const
{
    for (int index = 1; index <= 5; ++index) {
        if (Option1[index]->isChecked())
            return index;
    }
    return 0;
}

void CopyMoveDialog::run(bool announceEnd)
{
    QString folder = CreateFolderPath(Combo1->currentText(), m_prompts);
    Combo1->setEditText(folder);
    if (folder.isEmpty()) {
        m_prompts.message(kFolderError, QString(), PromptIcon::Error, PromptButtons::Ok);
        return;
    }
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    Combo1->setEditText(folder);
    DestinationFolder = folder;

    m_stored.saveCopyMoveDestination(DestinationFolder);
    m_stored.saveCopyMoveOpIndex(m_optionIndex);

    const QString entry = folder.trimmed();
    if (Combo1->findText(entry, Qt::MatchFixedString) < 0)
        Combo1->addItem(entry);
    Combo1->setEditText(folder);
    SaveComboHistory(Combo1, m_historyPath);

    Label3->clear();
    FileList = ExistingFiles(FileList);
    if (FileList.isEmpty())
        return;

    if (Command1->text() != kStart) {
        Command1->setText(kStart);
        Command1->setAccessibleName(kStart);
        m_running = false;
        return;
    }

    Command1->setText(kStop);
    Command1->setAccessibleName(kStop);
    m_running = true;
    m_announceEnd = announceEnd;
    m_run = std::make_unique<CopyRun>(FileList, DestinationFolder, CollisionFromIndex(selectedOption()), IsMove);
    ProgressBar1->setMaximum(m_run->progressMaximum());
    ProgressBar1->setValue(0);
    m_showNext = true;
    QTimer::singleShot(0, this, &CopyMoveDialog::nextStep);
}

// One turn of a run: show the next file, and on the following turn copy it,
// so that the window repaints and a stop click is seen between files.
void CopyMoveDialog::nextStep()
{
    if (!m_run)
        return;
    if (!m_running || m_run->atEnd()) {
        finishRun();
        return;
    }
    if (m_showNext) {
        ProgressBar1->setValue(m_run->position() + 1);
        Label3->setText(m_run->nextName());
    } else {
        m_run->step();
    }
    m_showNext = !m_showNext;
    QTimer::singleShot(0, this, &CopyMoveDialog::nextStep);
}

void CopyMoveDialog::clearRun()
{
    m_run.reset();
    m_running = false;
    ProgressBar1->setValue(0);
    Label3->clear();
    Command1->setText(kStart);
    Command1->setAccessibleName(kStart);
}

void CopyMoveDialog::finishRun()
{
    const int succeeded = m_run ? m_run->succeeded() : 0;
    const int failed = m_run ? m_run->failed() : 0;
    clearRun();
    // The run ends inside a timer turn: the message is left on screen
    // rather than waited for. A run with failures says how many.
    if (m_announceEnd) {
        if (failed == 0)
            m_prompts.notify(IsMove ? kMoveDone : kCopyDone, QString(), PromptIcon::Information);
        else
            m_prompts.notify((IsMove ? kMoveDoneWithFailures : kCopyDoneWithFailures).arg(succeeded).arg(failed),
                             QString(), PromptIcon::Warning);
    }
    emit runFinished();
}

void CopyMoveDialog::done(int result)
{
    if (m_run)
        clearRun();
    FileList.clear();
    QDialog::done(result);
}
