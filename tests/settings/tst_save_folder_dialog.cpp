#include "platform/SettingsStore.h"
#include "widgets/ComboHistory.h"
#include "settings/FolderHistory.h"
#include "common/SessionSettings.h"
#include "settings/StoredSettings.h"
#include "settings_dialogs/SaveFolderDialog.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The save-folder dialog with its folder history, driven through its controls.
class TestSaveFolderDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { QFile::remove(FolderHistoryFilePath()); }
    void opening_data();
    void opening();
    void hundredFoldersAndOneMore();
    void folderChosenTwice();
    void newTwoLevelFolder();
    void folderThatCannotBeMade_data();
    void folderThatCannotBeMade();
    void enterConfirms();
    void leaving_data();
    void leaving();
    void askOpensWindowModal_data();
    void askOpensWindowModal();
    void browse_data();
    void browse();
    void dropDownWidth_data();
    void dropDownWidth();

private:
    std::unique_ptr<SaveFolderDialog> openDialog()
    {
        auto dialog = std::make_unique<SaveFolderDialog>(*m_stored, m_session, m_prompts, FolderHistoryFilePath());
        dialog->show();
        return dialog;
    }
    // Types the folder into the box and presses "确定".
    void confirm(SaveFolderDialog &dialog, const QString &folder)
    {
        QComboBox *box = dialog.findChild<QComboBox *>("Combo1");
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), folder);
        QTest::mouseClick(dialog.findChild<QPushButton *>("Command2"), Qt::LeftButton);
    }
    // The answers the dialog gave, in order.
    static QList<bool> answersOf(const QSignalSpy &answered)
    {
        QList<bool> answers;
        for (const QList<QVariant> &answer : answered)
            answers.append(answer.first().toBool());
        return answers;
    }
    QStringList listed(SaveFolderDialog &dialog) const
    {
        QComboBox *box = dialog.findChild<QComboBox *>("Combo1");
        QStringList entries;
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i);
        return entries;
    }
    QStringList historyFileLines() const
    {
        QFile file(FolderHistoryFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {"no file"};
        QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
        lines.removeLast(); // after the last line end
        return lines;
    }
    void writeHistory(const QStringList &lines) { QVERIFY(WriteFolderHistory(FolderHistoryFilePath(), lines)); }
    QString folder(const QString &relative) const { return QDir::toNativeSeparators(m_dir->path() + "/" + relative); }
    QString storedFolder() const
    {
        return m_temp->store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "absent");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TempSettings> m_temp;
    std::unique_ptr<StoredSettings> m_stored;
    SessionSettings m_session;
    PromptRecorder m_prompts;
};

void TestSaveFolderDialog::init()
{
    QFile::remove(FolderHistoryFilePath());
    m_dir = std::make_unique<QTemporaryDir>();
    m_temp = std::make_unique<TempSettings>();
    m_stored = std::make_unique<StoredSettings>(m_temp->store());
    m_session = SessionSettings();
    m_prompts = PromptRecorder();
}

// clang-format off
void TestSaveFolderDialog::opening_data()
{
    QTest::addColumn<bool>("keepOriginal");
    QTest::addColumn<bool>("storedFolder");
    QTest::newRow("first run: article titles, the default folder") << false << false;
    QTest::newRow("own names, a stored folder") << true << true;
}
// clang-format on

void TestSaveFolderDialog::opening()
{
    QFETCH(bool, keepOriginal);
    QFETCH(bool, storedFolder);
    const QString expected = storedFolder ? folder("papers") + QDir::separator() : StoredSettings::defaultSaveFolder();
    if (storedFolder)
        m_stored->saveSaveFolder(expected);
    m_session.KeepOriginalFileName = keepOriginal;
    writeHistory({folder("a"), folder("b")});
    auto dialog = openDialog();

    QCOMPARE(dialog->windowTitle(), QString("选择下载保存路径-Paperdrift"));
    QVERIFY(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(dialog->findChild<QRadioButton *>("Option1")->isChecked(), keepOriginal);
    QCOMPARE(dialog->findChild<QRadioButton *>("Option2")->isChecked(), !keepOriginal);
    QCOMPARE(dialog->findChild<QComboBox *>("Combo1")->currentText(), expected);
    QCOMPARE(m_session.SaveFolder, expected);
    QCOMPARE(listed(*dialog), (QStringList{folder("a"), folder("b")}));
}

void TestSaveFolderDialog::hundredFoldersAndOneMore()
{
    QStringList hundred;
    for (int i = 1; i <= 100; ++i)
        hundred << folder(QString("f%1").arg(i));
    writeHistory(hundred);
    auto dialog = openDialog();
    QCOMPARE(listed(*dialog), hundred);
    confirm(*dialog, folder("new"));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(historyFileLines(), hundred + QStringList{folder("new")});

    // Line 101 is written but not read back.
    auto next = openDialog();
    QCOMPARE(listed(*next), hundred);
}

void TestSaveFolderDialog::folderChosenTwice()
{
    QVERIFY(QDir().mkpath(folder("papers")));
    writeHistory({folder("papers")});
    auto dialog = openDialog();
    confirm(*dialog, folder("papers"));
    QCOMPARE(historyFileLines(), (QStringList{folder("papers"), folder("papers")}));

    auto next = openDialog();
    QCOMPARE(listed(*next), QStringList{folder("papers")});
}

void TestSaveFolderDialog::newTwoLevelFolder()
{
    auto dialog = openDialog();
    QSignalSpy answered(dialog.get(), &SaveFolderDialog::answered);
    dialog->findChild<QRadioButton *>("Option1")->setChecked(true);
    confirm(*dialog, folder("new/sub"));

    QVERIFY(!dialog->isVisible());
    QCOMPARE(answersOf(answered), QList<bool>{true});
    QVERIFY(QFileInfo(folder("new")).isDir());
    QVERIFY(QFileInfo(folder("new/sub")).isDir());
    const QString saved = folder("new/sub") + QDir::separator();
    QCOMPARE(storedFolder(), saved);
    QCOMPARE(m_session.SaveFolder, saved);
    QVERIFY(m_session.KeepOriginalFileName);
    QCOMPARE(historyFileLines(), QStringList{folder("new/sub")});
    QVERIFY(m_prompts.records.isEmpty());
}

// clang-format off
void TestSaveFolderDialog::folderThatCannotBeMade_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("below a file") << "file.txt/sub" << QStringList{"文件夹设置错误！"};
    QTest::newRow("a name made only of forbidden characters: the folder above is not taken")
        << "made/**" << QStringList{"文件夹名称有误！不能创建文件夹！", "文件夹设置错误！"};
    QTest::newRow("an empty name between two separators: the folder above is not taken")
        << "made//sub" << QStringList{"文件夹设置错误！"};
}
// clang-format on

void TestSaveFolderDialog::folderThatCannotBeMade()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, messages);
    QFile file(folder("file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    auto dialog = openDialog();
    QSignalSpy answered(dialog.get(), &SaveFolderDialog::answered);
    dialog->findChild<QRadioButton *>("Option1")->setChecked(true);
    confirm(*dialog, folder(typed));

    QCOMPARE(m_prompts.messageTexts(), messages);
    QCOMPARE(m_prompts.records.last().icon, PromptIcon::Error);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->findChild<QComboBox *>("Combo1")->currentText().isEmpty());
    QCOMPARE(storedFolder(), QString("absent"));
    QVERIFY(!QFile::exists(FolderHistoryFilePath()));
    QVERIFY(answered.isEmpty()); // still open: no answer yet
    QVERIFY(m_session.SaveFolder != folder("made") + QDir::separator());
    QVERIFY(m_session.KeepOriginalFileName); // taken before the folder was refused

    // A folder that can be made is accepted next.
    confirm(*dialog, folder("good"));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(answersOf(answered), QList<bool>{true});
}

void TestSaveFolderDialog::enterConfirms()
{
    auto dialog = openDialog();
    QSignalSpy answered(dialog.get(), &SaveFolderDialog::answered);
    QVERIFY(dialog->findChild<QPushButton *>("Command2")->isDefault());
    QComboBox *box = dialog->findChild<QComboBox *>("Combo1");
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), folder("typed"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(QFileInfo(folder("typed")).isDir());
    QCOMPARE(storedFolder(), folder("typed") + QDir::separator());
    QCOMPARE(answersOf(answered), QList<bool>{true});
    QVERIFY(m_prompts.records.isEmpty()); // the folder browser did not open
}

// clang-format off
void TestSaveFolderDialog::leaving_data()
{
    QTest::addColumn<QString>("how");
    for (const QString how : {"取消", "Escape", "close box"})
        QTest::newRow(qPrintable(how)) << how;
}
// clang-format on

void TestSaveFolderDialog::leaving()
{
    QFETCH(QString, how);
    auto dialog = openDialog();
    QSignalSpy answered(dialog.get(), &SaveFolderDialog::answered);
    QComboBox *box = dialog->findChild<QComboBox *>("Combo1");
    box->setEditText(folder("elsewhere"));
    if (how == "close box")
        QVERIFY(dialog->close());
    else if (how == "Escape")
        QTest::keyClick(box->lineEdit(), Qt::Key_Escape);
    else
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command3"), Qt::LeftButton);

    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(answersOf(answered), QList<bool>{false});
    QCOMPARE(storedFolder(), QString("absent"));
    QVERIFY(!QFile::exists(FolderHistoryFilePath()));
    QVERIFY(!QFileInfo::exists(folder("elsewhere")));
}

// Asking opens the dialog over its window without blocking; the answer comes
// once, after the dialog has gone, and only while the asker still exists;
// the dialog then goes away by itself.
// clang-format off
void TestSaveFolderDialog::askOpensWindowModal_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("askerGoneFirst");
    QTest::newRow("确定") << "确定" << QList<bool>{true} << false;
    QTest::newRow("取消") << "取消" << QList<bool>{false} << false;
    QTest::newRow("close box") << "close box" << QList<bool>{false} << false;
    QTest::newRow("asker gone before the answer") << "确定" << QList<bool>() << true;
}
// clang-format on

void TestSaveFolderDialog::askOpensWindowModal()
{
    QFETCH(QString, how);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, askerGoneFirst);
    QWidget window;
    window.show();
    auto asker = std::make_unique<QObject>();
    QList<bool> received;
    bool shownAtAnswer = false;
    QPointer<SaveFolderDialog> dialog =
        SaveFolderDialog::ask(*m_stored, m_session, m_prompts, &window, asker.get(), [&](bool confirmed) {
            received.append(confirmed);
            shownAtAnswer = dialog && dialog->isVisible();
        });
    // ask() has returned: the dialog is up, over its window only.
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->parentWidget(), &window);
    QVERIFY(received.isEmpty());

    if (askerGoneFirst)
        asker.reset();
    if (how == "close box") {
        QVERIFY(dialog->close());
    } else if (how == "取消") {
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command3"), Qt::LeftButton);
    } else {
        dialog->findChild<QComboBox *>("Combo1")->setEditText(folder("asked"));
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command2"), Qt::LeftButton);
    }
    QCOMPARE(received, answers);
    QVERIFY(!shownAtAnswer);
    QTRY_VERIFY(!dialog);
}

// clang-format off
void TestSaveFolderDialog::browse_data()
{
    QTest::addColumn<QString>("chosen"); // empty: the browser is cancelled
    QTest::addColumn<QString>("boxAfter");
    QTest::newRow("chosen folder") << "picked" << "picked/";
    QTest::newRow("cancelled: the text with a separator") << "" << "papers/new/";
}
// clang-format on

void TestSaveFolderDialog::browse()
{
    QFETCH(QString, chosen);
    QFETCH(QString, boxAfter);
    QVERIFY(QDir().mkpath(folder("papers")));
    m_stored->saveSaveFolder(folder("papers/new"));
    if (!chosen.isEmpty())
        m_prompts.paths.enqueue(folder(chosen));
    auto dialog = openDialog();
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);

    QCOMPARE(dialog->findChild<QComboBox *>("Combo1")->currentText(), folder(boxAfter));
    QCOMPARE(m_prompts.records.size(), 1);
    QCOMPARE(m_prompts.records.first().title, QString("请选择要浏览的文件夹:"));
    QCOMPARE(m_prompts.records.first().start, folder("papers") + QDir::separator());
    QVERIFY(dialog->isVisible());
}

// clang-format off
void TestSaveFolderDialog::dropDownWidth_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("measured"); // the entry whose width counts
    QTest::addColumn<bool>("scrollBar");

    QTest::newRow("longest entry") << QStringList{"/a", "/papers/2016/long", "/b"} << "/papers/2016/long" << false;
    QTest::newRow("equal lengths: the first") << QStringList{"/iiiiiiii", "/WWWWWWWW"} << "/iiiiiiii" << false;
    QStringList nine;
    for (int i = 1; i <= 9; ++i)
        nine << QString("/papers/%1").arg(i);
    QTest::newRow("nine entries: a scroll bar more") << nine << "/papers/1" << true;
}
// clang-format on

void TestSaveFolderDialog::dropDownWidth()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, measured);
    QFETCH(bool, scrollBar);
    QComboBox box;
    box.addItems(entries);
    box.move(0, 0);
    box.show();
    FitComboDropDownWidth(&box);
    int expected = box.fontMetrics().horizontalAdvance(measured) + 7;
    if (scrollBar)
        expected += box.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &box);
    QCOMPARE(box.view()->minimumWidth(), expected);

    // Never past the right edge of the screen.
    box.addItem(QString(2000, QLatin1Char('W')));
    FitComboDropDownWidth(&box);
    const int roomToRight = box.screen()->geometry().right() + 1 - box.mapToGlobal(QPoint(0, 0)).x();
    QCOMPARE(box.view()->minimumWidth(), roomToRight);
}

QTEST_MAIN(TestSaveFolderDialog)
#include "tst_save_folder_dialog.moc"
