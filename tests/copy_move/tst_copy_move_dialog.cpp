// Form_Copy_Move driven through its controls: the stored options, a run step
// by step with its progress bar, stopping a run, and a destination that cannot
// be made.
#include "copy_move/CopyMoveDialog.h"
#include "platform/SettingsStore.h"
#include "settings/StoredSettings.h"
#include "settings/FolderHistory.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Five one-byte files f0.pdf to f4.pdf in the folder; their paths, or fewer
// when one could not be written.
QStringList fiveFiles(const QTemporaryDir &folder)
{
    QStringList list;
    for (int i = 0; i < 5; ++i) {
        const QString path = folder.filePath(QStringLiteral("f%1.pdf").arg(i));
        if (!writeFile(path, "x"))
            break;
        list.append(path);
    }
    return list;
}

} // namespace

class TestCopyMoveDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_stored = std::make_unique<StoredSettings>(m_settings->store());
        m_prompts.clear();
        QFile::remove(historyPath());
    }
    void storedOption_data();
    void storedOption();
    void runCopiesAndRemembers();
    void stopEndsTheRunBetweenFiles();
    void closingEndsTheRun();
    void destinationThatCannotBeMade();
    void vanishedFilesDoNothingVisible();
    void endMessageCountsFailures_data();
    void endMessageCountsFailures();

private:
    std::unique_ptr<CopyMoveDialog> openDialog(bool isMove = false)
    {
        auto dialog = std::make_unique<CopyMoveDialog>(*m_stored, m_prompts, historyPath(), isMove);
        dialog->show();
        return dialog;
    }
    QString historyPath() const { return m_dir.filePath("SaveList.dat"); }
    void typeFolder(CopyMoveDialog &dialog, const QString &folder)
    {
        QLineEdit *edit = dialog.findChild<QComboBox *>("Combo1")->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, folder);
    }
    QString setting(const QString &key)
    {
        return m_settings->store().GetSetting("Paperdrift", "Form_Copy_Move", key, "absent");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<StoredSettings> m_stored;
    PromptRecorder m_prompts;
};

// clang-format off
void TestCopyMoveDialog::storedOption_data()
{
    QTest::addColumn<QString>("stored"); // empty: nothing stored
    QTest::addColumn<int>("checked");    // 0: none

    QTest::newRow("default") << "" << 4;
    QTest::newRow("skip") << "1" << 1;
    QTest::newRow("size") << "5" << 5;
    QTest::newRow("outside") << "6" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("not a number reads as the default") << "x" << 4;
}
// clang-format on

void TestCopyMoveDialog::storedOption()
{
    QFETCH(QString, stored);
    QFETCH(int, checked);
    if (!stored.isEmpty())
        m_settings->store().SaveSetting("Paperdrift", "Form_Copy_Move", "OpIndex", stored);
    auto dialog = openDialog();
    for (int index = 1; index <= 5; ++index)
        QCOMPARE(dialog->findChild<QRadioButton *>(QString("Option1(%1)").arg(index))->isChecked(), index == checked);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("复制文件...-Paperdrift"));
    QCOMPARE(openDialog(true)->windowTitle(), QStringLiteral("移动文件...-Paperdrift"));
}

void TestCopyMoveDialog::runCopiesAndRemembers()
{
    QTemporaryDir files;
    const QString from = files.filePath("from/");
    const QString to = files.filePath("to/new/");
    QVERIFY(QDir().mkpath(from));
    QVERIFY(writeFile(from + "a.pdf", "aaa") && writeFile(from + "b.pdf", "bbb"));

    auto dialog = openDialog();
    dialog->FileList = {from + "a.pdf", from + "gone.pdf", from + "b.pdf"};
    typeFolder(*dialog, files.filePath("to/new"));
    dialog->findChild<QRadioButton *>("Option1(3)")->click();
    QSignalSpy finished(dialog.get(), &CopyMoveDialog::runFinished);
    auto *progress = dialog->findChild<QProgressBar *>("ProgressBar1");
    auto *start = dialog->findChild<QPushButton *>("Command1");
    QTest::mouseClick(start, Qt::LeftButton);

    QCOMPARE(start->text(), QStringLiteral("停止"));
    QCOMPARE(progress->maximum(), 3); // two files that exist, and one
    QVERIFY(finished.wait(5000));
    QCOMPARE(readFile(to + "a.pdf"), QByteArray("aaa"));
    QCOMPARE(readFile(to + "b.pdf"), QByteArray("bbb"));
    QVERIFY(QFile::exists(from + "a.pdf"));
    QCOMPARE(start->text(), QStringLiteral("开始"));
    QCOMPARE(progress->value(), 0);
    QCOMPARE(m_prompts.messageTexts(), QStringList{"复制文件完成！"});
    QCOMPARE(setting("目的文件夹"), to);
    QCOMPARE(setting("OpIndex"), QStringLiteral("3"));
    QCOMPARE(ReadFolderHistory(historyPath()).value_or(QStringList()), QStringList{to});

    // The same files again: renamed beside the first copies.
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QCOMPARE(readFile(to + "a[001].pdf"), QByteArray("aaa"));
    QCOMPARE(ReadFolderHistory(historyPath()).value_or(QStringList()), QStringList{to});
}

void TestCopyMoveDialog::stopEndsTheRunBetweenFiles()
{
    QTemporaryDir files;
    const QStringList list = fiveFiles(files);
    QCOMPARE(list.size(), 5);
    auto dialog = openDialog();
    dialog->FileList = list;
    typeFolder(*dialog, files.filePath("to"));
    QSignalSpy finished(dialog.get(), &CopyMoveDialog::runFinished);
    auto *start = dialog->findChild<QPushButton *>("Command1");
    // "停止" pressed while the second file is shown: the first is copied,
    // the others are passed over untouched.
    auto *progress = dialog->findChild<QProgressBar *>("ProgressBar1");
    connect(progress, &QProgressBar::valueChanged, dialog.get(), [&](int value) {
        if (value == 2)
            QTest::mouseClick(start, Qt::LeftButton);
    });
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QCOMPARE(start->text(), QStringLiteral("开始"));
    QCOMPARE(QDir(files.filePath("to")).entryList(QDir::Files), QStringList{"f0.pdf"});
    QCOMPARE(m_prompts.messageTexts(), QStringList{"复制文件完成！"});
}

void TestCopyMoveDialog::closingEndsTheRun()
{
    QTemporaryDir files;
    const QStringList list = fiveFiles(files);
    QCOMPARE(list.size(), 5);
    auto dialog = openDialog();
    dialog->FileList = list;
    typeFolder(*dialog, files.filePath("to"));
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(dialog->isRunning());
    dialog->findChild<QPushButton *>("Command2")->click();
    QVERIFY(!dialog->isVisible());
    QVERIFY(!dialog->isRunning());
    QVERIFY(dialog->FileList.isEmpty());
    // The step the run had queued comes and finds no run.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(QDir(files.filePath("to")).entryList(QDir::Files), QStringList());
    QVERIFY(m_prompts.messageTexts().isEmpty());
}

void TestCopyMoveDialog::destinationThatCannotBeMade()
{
    QTemporaryDir files;
    QVERIFY(writeFile(files.filePath("plain"), "file"));
    QVERIFY(writeFile(files.filePath("a.pdf"), "a"));
    auto dialog = openDialog();
    dialog->FileList = {files.filePath("a.pdf")};
    typeFolder(*dialog, files.filePath("plain/sub"));
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(m_prompts.messageTexts().contains("创建文件夹出错！"));
    QVERIFY(!dialog->isRunning());
    QCOMPARE(setting("目的文件夹"), QStringLiteral("absent"));
}

void TestCopyMoveDialog::vanishedFilesDoNothingVisible()
{
    QTemporaryDir files;
    auto dialog = openDialog();
    dialog->FileList = {files.filePath("gone.pdf")};
    typeFolder(*dialog, files.filePath("to"));
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(!dialog->isRunning());
    QVERIFY(m_prompts.messageTexts().isEmpty());
    QCOMPARE(setting("目的文件夹"), files.filePath("to/"));
    QVERIFY(QFile::exists(historyPath()));
}

// clang-format off
void TestCopyMoveDialog::endMessageCountsFailures_data()
{
    QTest::addColumn<bool>("isMove");
    QTest::addColumn<QStringList>("blocked"); // names whose copy cannot be made
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");

    QTest::newRow("copy, all copied") << false << QStringList{} << "复制文件完成！" << int(PromptIcon::Information);
    QTest::newRow("copy, one failed") << false << QStringList{"f1.pdf"} << "复制文件结束：成功4 个，失败1 个！" << int(PromptIcon::Warning);
    QTest::newRow("copy, all failed") << false << QStringList{"f0.pdf", "f1.pdf", "f2.pdf", "f3.pdf", "f4.pdf"}
                                      << "复制文件结束：成功0 个，失败5 个！" << int(PromptIcon::Warning);
    QTest::newRow("move, two failed") << true << QStringList{"f0.pdf", "f4.pdf"} << "移动文件结束：成功3 个，失败2 个！" << int(PromptIcon::Warning);
}
// clang-format on

// The end message says how many files were copied and how many were not;
// a folder in the way of the copy's side file makes a copy fail.
void TestCopyMoveDialog::endMessageCountsFailures()
{
    QFETCH(bool, isMove);
    QFETCH(QStringList, blocked);
    QFETCH(QString, message);
    QFETCH(int, icon);

    QTemporaryDir files;
    const QStringList list = fiveFiles(files);
    QCOMPARE(list.size(), 5);
    for (const QString &name : blocked)
        QVERIFY(QDir().mkpath(files.filePath("to/" + name + ".copying")));
    auto dialog = openDialog(isMove);
    dialog->FileList = list;
    typeFolder(*dialog, files.filePath("to"));
    QSignalSpy finished(dialog.get(), &CopyMoveDialog::runFinished);
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QCOMPARE(m_prompts.messageTexts(), QStringList{message});
    QCOMPARE(int(m_prompts.records.first().icon), icon);
    for (const QString &path : list)
        QCOMPARE(QFile::exists(path), !isMove || blocked.contains(QFileInfo(path).fileName()));
}

QTEST_MAIN(TestCopyMoveDialog)
#include "tst_copy_move_dialog.moc"
