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

QTEST_MAIN(TestCopyMoveDialog)
#include "tst_copy_move_dialog.moc"
