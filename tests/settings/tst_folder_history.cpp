#include "platform/SettingsStore.h"
#include "settings/FolderHistory.h"
#include "settings/SaveFolderRules.h"
#include "common/SessionSettings.h"
#include "settings/StoredSettings.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// The folder history file, the folder browser's start and result, and the
// save-folder dialog's OK rule.
class TestFolderHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void parse_data();
    void parse();
    void missingFileLeavesListAlone();
    void writeAndReadBack_data();
    void writeAndReadBack();
    void markInsideIsNotWrittenBack();
    void writeReplacesTheWholeFile();
    void browseStartFolder_data();
    void browseStartFolder();
    void browseResult_data();
    void browseResult();
    void confirmSaveFolder_data();
    void confirmSaveFolder();

private:
    QTemporaryDir m_dir;
    QString path(const QString &relative) const { return QDir::toNativeSeparators(m_dir.path() + "/" + relative); }
};

namespace {

QByteArray lines(int first, int count)
{
    QByteArray bytes;
    for (int i = first; i < first + count; ++i)
        bytes += "/papers/" + QByteArray::number(i) + "\r\n";
    return bytes;
}

QStringList folders(int first, int count)
{
    QStringList list;
    for (int i = first; i < first + count; ++i)
        list << "/papers/" + QString::number(i);
    return list;
}

} // namespace

// clang-format off
void TestFolderHistory::parse_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("lines ended by CR LF") << QByteArray("/a\r\n/b\r\n") << QStringList{"/a", "/b"};
    QTest::newRow("last line without an end") << QByteArray("/a\r\n/b") << QStringList{"/a", "/b"};
    QTest::newRow("lone LF and CR end lines too") << QByteArray("/a\n/b\r/c") << QStringList{"/a", "/b", "/c"};
    QTest::newRow("blanks trimmed, blank lines skipped") << QByteArray("\r\n   \r\n  /a  \r\n\r\n")
                                                         << QStringList{"/a"};
    QTest::newRow("a case variant shows once, as first written")
        << QByteArray("/D/A\r\n/d/a\r\n/D/a \r\n") << QStringList{"/D/A"};
    QTest::newRow("one empty line is an empty list") << QByteArray("\r\n") << QStringList();
    QTest::newRow("100 distinct lines all shown") << lines(1, 100) << folders(1, 100);
    QTest::newRow("the 101st line is not shown") << lines(1, 101) << folders(1, 100);
    QTest::newRow("blank lines do not count towards 100")
        << QByteArray("\r\n\r\n") + lines(1, 50) + "  \r\n" + lines(51, 50) << folders(1, 100);
    QTest::newRow("repeated lines count towards 100")
        << lines(1, 99) + "/PAPERS/1\r\n" + lines(100, 1) << folders(1, 99);
    QTest::newRow("a mark at the start of the file") << QByteArray("\xEF\xBB\xBF/a\r\n/b\r\n")
                                                     << QStringList{"/a", "/b"};
    QTest::newRow("a mark inside the file is no part of the entry")
        << QByteArray("/a\r\n\xEF\xBB\xBF/b\r\n\xEF\xBB\xBF/A\r\n") << QStringList{"/a", "/b"};
    QTest::newRow("a line of only a mark is blank") << QByteArray("\xEF\xBB\xBF\r\n/a") << QStringList{"/a"};
    QTest::newRow("Chinese folder names") << QByteArray("/论文/二〇一六\r\n") << QStringList{"/论文/二〇一六"};
}
// clang-format on

void TestFolderHistory::parse()
{
    QFETCH(QByteArray, file);
    QTEST(ParseFolderHistory(file), "shown");
}

void TestFolderHistory::missingFileLeavesListAlone()
{
    QVERIFY(!ReadFolderHistory(path("absent/SaveList.dat")).has_value());
}

// clang-format off
void TestFolderHistory::writeAndReadBack_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("empty list: one empty line") << QStringList() << QByteArray("\r\n");
    QTest::newRow("entries in list order") << QStringList{"/b", "/a", "/论文"}
                                           << QByteArray("/b\r\n/a\r\n/论文\r\n");
}
// clang-format on

void TestFolderHistory::writeAndReadBack()
{
    QFETCH(QStringList, list);
    QFETCH(QByteArray, file);
    const QString historyPath = path("SaveList.dat");
    QVERIFY(WriteFolderHistory(historyPath, list));

    QFile written(historyPath);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), file);
    QCOMPARE(ReadFolderHistory(historyPath).value_or(QStringList{"unread"}), list);
}

void TestFolderHistory::markInsideIsNotWrittenBack()
{
    // Two histories put together: the second one's mark sits at a line start.
    const QString historyPath = path("joined.dat");
    QFile file(historyPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF/papers/a\r\n\xEF\xBB\xBF/papers/b\r\n");
    file.close();

    const QStringList read = ReadFolderHistory(historyPath).value_or(QStringList());
    QCOMPARE(read, (QStringList{"/papers/a", "/papers/b"}));
    QVERIFY(WriteFolderHistory(historyPath, read));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("/papers/a\r\n/papers/b\r\n"));
    file.close();
    QCOMPARE(ReadFolderHistory(historyPath).value_or(QStringList()), read);
}

void TestFolderHistory::writeReplacesTheWholeFile()
{
    const QString historyPath = path("replaced.dat");
    QVERIFY(WriteFolderHistory(historyPath, folders(1, 100)));
    QVERIFY(WriteFolderHistory(historyPath, QStringList{"/only"}));
    QCOMPARE(ReadFolderHistory(historyPath).value_or(QStringList()), QStringList{"/only"});

    // A file that cannot be written leaves no file behind.
    QVERIFY(!WriteFolderHistory(path("no such folder/SaveList.dat"), QStringList{"/x"}));
    QVERIFY(!QFile::exists(path("no such folder/SaveList.dat")));
}

// clang-format off
void TestFolderHistory::browseStartFolder_data()
{
    QTest::addColumn<QString>("start"); // "@" stands for the temporary folder
    QTest::addColumn<QString>("opened");

    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    QTest::newRow("blank text: the root") << "  " << root;
    QTest::newRow("folder with a separator: its parent") << "@/papers/new/" << "@/papers/";
    QTest::newRow("folder without one: its parent") << "@/papers/new" << "@/papers/";
    QTest::newRow("missing parent: the root") << "@/gone/new/" << root;
    QTest::newRow("the root stays") << root << root;
}
// clang-format on

void TestFolderHistory::browseStartFolder()
{
    QFETCH(QString, start);
    QFETCH(QString, opened);
    QVERIFY(QDir().mkpath(path("papers/new")));
    const QString temp = QDir::toNativeSeparators(m_dir.path());
    QCOMPARE(BrowseStartFolder(QDir::toNativeSeparators(start.replace("@", temp))),
             QDir::toNativeSeparators(opened.replace("@", temp)));
}

// clang-format off
void TestFolderHistory::browseResult_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("chosen"); // empty: the user cancels
    QTest::addColumn<QString>("result");

    QTest::newRow("chosen folder gets a separator") << "/x/y" << "/picked" << "/picked/";
    QTest::newRow("chosen folder keeps its separator") << "/x/y" << "/picked/" << "/picked/";
    QTest::newRow("cancel keeps the text, adds a separator") << "/x/y" << "" << "/x/y/";
    QTest::newRow("cancel keeps a text that has one") << "/x/y/" << "" << "/x/y/";
}
// clang-format on

void TestFolderHistory::browseResult()
{
    QFETCH(QString, start);
    QFETCH(QString, chosen);
    PromptRecorder prompts;
    prompts.paths.enqueue(QDir::toNativeSeparators(chosen));
    QFETCH(QString, result);
    QCOMPARE(BrowseForFolder(prompts, QDir::toNativeSeparators(start), "请选择要浏览的文件夹:"),
             QDir::toNativeSeparators(result));
    QCOMPARE(prompts.records.size(), 1);
    QCOMPARE(prompts.records.first().kind, PromptRecorder::Kind::Folder);
    QCOMPARE(prompts.records.first().title, QString("请选择要浏览的文件夹:"));
}

// clang-format off
void TestFolderHistory::confirmSaveFolder_data()
{
    QTest::addColumn<QString>("box"); // "@" stands for the temporary folder
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<QStringList>("messages");

    const QString wrong = "文件夹设置错误！";
    QTest::newRow("two new levels are created") << "@/new/sub" << true << "@/new/sub" << QStringList();
    QTest::newRow("existing folder with a separator") << "@/papers/" << true << "@/papers" << QStringList();
    QTest::newRow("a bad name: its parent is not taken instead")
        << "@/papers/???" << false << "" << QStringList{"文件夹名称有误！不能创建文件夹！", wrong};
    QTest::newRow("below a file: cannot be made") << "@/file.txt/sub" << false << "" << QStringList{wrong};
    QTest::newRow("blank box") << "   " << false << "   " << QStringList{wrong};
}
// clang-format on

void TestFolderHistory::confirmSaveFolder()
{
    QFETCH(QString, box);
    QFETCH(bool, accepted);
    QFETCH(QString, boxAfter);
    QVERIFY(QDir().mkpath(path("papers")));
    QFile file(path("file.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString temp = QDir::toNativeSeparators(m_dir.path());
    box = QDir::toNativeSeparators(box.replace("@", temp));
    boxAfter = QDir::toNativeSeparators(boxAfter.replace("@", temp));

    TempSettings settings;
    StoredSettings stored(settings.store());
    SessionSettings session;
    PromptRecorder prompts;
    const SaveFolderOutcome outcome = ConfirmSaveFolder(box, true, stored, session, prompts);

    QCOMPARE(outcome.accepted, accepted);
    QCOMPARE(outcome.boxText, boxAfter);
    QTEST(prompts.messageTexts(), "messages");
    QVERIFY(session.KeepOriginalFileName); // taken even when the folder is refused
    const QString storedFolder = settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "absent");
    if (accepted) {
        QVERIFY(QFileInfo(boxAfter).isDir());
        QCOMPARE(session.SaveFolder, boxAfter + QDir::separator());
        QCOMPARE(storedFolder, session.SaveFolder);
    } else {
        QCOMPARE(storedFolder, QString("absent"));
        QVERIFY(session.SaveFolder.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestFolderHistory)
#include "tst_folder_history.moc"
