// The commands on a row's file over real files and a recording shell: open,
// open the folder, the plain-text editor's size limit, the double click, the
// click, the export of names, and the batch URL replace over the list.
#include "tests/engine/FakeEngineRig.h"

#include "download_window/CommandTexts.h"
#include "download_window/FileCommands.h"
#include "download_window/UrlReplace.h"
#include "tests/support/ShellRecorder.h"

#include <QDir>
#include <QtTest>

Q_DECLARE_METATYPE(ItemState)

namespace {

enum class Open { File, Folder, Editor };

using Call = ShellRecorder::Call;
using Kind = ShellRecorder::Kind;

} // namespace

Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(Call)

class FileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The three open commands on the current row "a.pdf": what the shell is
    // asked and what the user is told. `length` -1: no file; `folder` false:
    // the row's folder is gone too.
    // clang-format off
    void openCommands_data()
    {
        QTest::addColumn<Open>("command");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("shellAnswer");
        QTest::addColumn<QList<Kind>>("calls");
        QTest::addColumn<QString>("error");

        const qint64 limit = 2048 * 1024;
        QTest::newRow("open file") << Open::File << qint64(10) << true << true << QList<Kind>{Kind::OpenFile} << QString();
        QTest::newRow("open missing file") << Open::File << qint64(-1) << true << true << QList<Kind>{}
                                           << CommandText::kThisFileMissing;
        QTest::newRow("folder with the file selected")
            << Open::Folder << qint64(10) << true << true << QList<Kind>{Kind::SelectInFileManager} << QString();
        QTest::newRow("folder, the file manager refuses")
            << Open::Folder << qint64(10) << true << false << QList<Kind>{Kind::SelectInFileManager}
            << CommandText::kOpenFailed;
        QTest::newRow("folder without the file") << Open::Folder << qint64(-1) << true << true
                                                 << QList<Kind>{Kind::OpenFolder} << QString();
        QTest::newRow("folder gone") << Open::Folder << qint64(-1) << false << true << QList<Kind>{}
                                     << CommandText::kFolderMissing;
        QTest::newRow("editor, exactly 2048 KiB")
            << Open::Editor << limit << true << true << QList<Kind>{Kind::OpenInTextEditor} << QString();
        QTest::newRow("editor, one byte more") << Open::Editor << limit + 1 << true << true << QList<Kind>{}
                                               << CommandText::kTooLargeForEditor;
        QTest::newRow("editor, missing file") << Open::Editor << qint64(-1) << true << true << QList<Kind>{}
                                              << CommandText::kThisFileMissing;
    }
    // clang-format on

    void openCommands()
    {
        QFETCH(Open, command);
        QFETCH(qint64, length);
        QFETCH(bool, folder);
        QFETCH(bool, shellAnswer);
        QFETCH(QList<Kind>, calls);
        QFETCH(QString, error);

        FakeEngineRig rig;
        ShellRecorder shell;
        shell.answers.enqueue(shellAnswer);
        rig.add("a", Finished);
        if (length >= 0)
            rig.touch("a.pdf", length);
        if (!folder)
            rig.list().updateItem(0, [&rig](DownloadItem &item) { item.Folder = rig.folder.filePath("gone"); });
        FileCommands commands(rig.engine, rig.prompts, shell);

        switch (command) {
        case Open::File: commands.openFile(0); break;
        case Open::Folder: commands.openFolder(0); break;
        case Open::Editor: commands.openInEditor(0); break;
        }

        QList<Kind> made;
        for (const Call &call : shell.calls) {
            made << call.kind;
            QCOMPARE(call.target, call.kind == Kind::OpenFolder ? rig.folder.path() : rig.folder.filePath("a.pdf"));
        }
        QCOMPARE(made, calls);
        QCOMPARE(rig.prompts.messageTexts(), error.isEmpty() ? QStringList{} : QStringList{error});
        if (!error.isEmpty())
            QCOMPARE(rig.prompts.records[0].icon, PromptIcon::Error);
    }

    // No current row: nothing happens.
    void noCurrentRow()
    {
        FakeEngineRig rig;
        ShellRecorder shell;
        rig.add("a", Finished);
        rig.touch("a.pdf");
        FileCommands commands(rig.engine, rig.prompts, shell);
        commands.openFile(-1);
        commands.openFolder(-1);
        commands.openInEditor(-1);
        commands.doubleClick(-1);
        QCOMPARE(commands.clickedRowPath(-1), QString());
        QVERIFY(shell.calls.isEmpty());
        QVERIFY(rig.prompts.records.isEmpty());
    }

    // A double click opens a finished row's file and queues a failed row
    // again (its file and kept bytes deleted, its type kept).
    // clang-format off
    void doubleClick_data()
    {
        QTest::addColumn<ItemState>("state");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("error");
        QTest::addColumn<ItemState>("stateAfter");

        QTest::newRow("finished opens") << Finished << true << true << QString() << Finished;
        QTest::newRow("finished, file deleted outside") << Finished << false << false << CommandText::kFileMissing
                                                        << Finished;
        QTest::newRow("failed waits again") << Failed << true << false << QString() << Waiting;
        QTest::newRow("waiting: nothing") << Waiting << true << false << QString() << Waiting;
        QTest::newRow("downloading: nothing") << Downloading << true << false << QString() << Downloading;
    }
    // clang-format on

    void doubleClick()
    {
        QFETCH(ItemState, state);
        QFETCH(bool, file);
        QFETCH(bool, opened);
        QFETCH(QString, error);
        QFETCH(ItemState, stateAfter);

        FakeEngineRig rig;
        ShellRecorder shell;
        rig.add("a", state, "html", "100", "100", "100%");
        if (file) {
            rig.touch("a.html");
            rig.touch("a.html.part");
        }
        FileCommands commands(rig.engine, rig.prompts, shell);

        commands.doubleClick(0);

        const DownloadItem &item = rig.list().at(0);
        QCOMPARE(item.State, stateAfter);
        QCOMPARE(item.Type, QStringLiteral("html"));
        const bool requeued = state == Failed;
        QCOMPARE(item.Size.isEmpty() && !item.Downloaded && item.Progress.isEmpty(), requeued);
        QCOMPARE(rig.exists("a.html"), file && !requeued);
        QCOMPARE(rig.exists("a.html.part"), file && !requeued);
        const QList<Call> expected =
            opened ? QList<Call>{{Kind::OpenFile, rig.folder.filePath("a.html")}} : QList<Call>{};
        QCOMPARE(shell.calls, expected);
        QCOMPARE(rig.prompts.messageTexts(), error.isEmpty() ? QStringList{} : QStringList{error});
    }

    void clickedRowPath()
    {
        FakeEngineRig rig;
        ShellRecorder shell;
        rig.add("here", Finished);
        rig.add("gone", Finished);
        const QString path = rig.touch("here.pdf");
        FileCommands commands(rig.engine, rig.prompts, shell);
        QCOMPARE(commands.clickedRowPath(0), path);
        QCOMPARE(commands.clickedRowPath(1), QString());
    }

    // The names, one a line with CR LF, of all rows or of the rows not
    // finished; the file replaced whole.
    // clang-format off
    void exportNames_data()
    {
        QTest::addColumn<bool>("unfinishedOnly");
        QTest::addColumn<QList<ItemState>>("states");
        QTest::addColumn<QByteArray>("content");

        QTest::newRow("all rows") << false << QList<ItemState>{Finished, Failed, Waiting}
                                  << QByteArray("名称0\r\n名称1\r\n名称2\r\n");
        QTest::newRow("unfinished rows") << true << QList<ItemState>{Finished, Failed, Waiting}
                                         << QByteArray("名称1\r\n名称2\r\n");
        QTest::newRow("unfinished, all finished: empty file") << true << QList<ItemState>{Finished, Finished}
                                                              << QByteArray();
    }
    // clang-format on

    void exportNames()
    {
        QFETCH(bool, unfinishedOnly);
        QFETCH(QList<ItemState>, states);
        QFETCH(QByteArray, content);

        FakeEngineRig rig;
        ShellRecorder shell;
        for (int i = 0; i < states.size(); ++i)
            rig.add(QStringLiteral("名称%1").arg(i), states[i]);
        const QString target = rig.touch("names.txt", 100); // an older file is replaced
        rig.prompts.paths.enqueue(target);
        FileCommands commands(rig.engine, rig.prompts, shell);

        commands.exportNames(unfinishedOnly);

        QCOMPARE(rig.prompts.records.size(), 1);
        QCOMPARE(rig.prompts.records[0].kind, PromptRecorder::Kind::SaveFile);
        QCOMPARE(readFile(target), content);
    }

    void exportNamesWithoutAFile()
    {
        FakeEngineRig rig;
        ShellRecorder shell;
        FileCommands commands(rig.engine, rig.prompts, shell);

        commands.exportNames(false); // empty list: no dialog
        QVERIFY(rig.prompts.records.isEmpty());

        rig.add("a", Waiting);
        commands.exportNames(false); // dialog cancelled: nothing written
        QCOMPARE(rig.prompts.records.size(), 1);
        QCOMPARE(QDir(rig.folder.path()).entryList(QDir::Files), QStringList{});

        // A folder that does not exist: the error's own description.
        rig.prompts.clear();
        rig.prompts.paths.enqueue(rig.folder.filePath("no/such/folder/names.txt"));
        commands.exportNames(false);
        QCOMPARE(rig.prompts.records.size(), 2);
        QCOMPARE(rig.prompts.records[1].icon, PromptIcon::Error);
        QVERIFY(!rig.prompts.records[1].text.isEmpty());
    }

    // The batch replace over the list: every occurrence, letters in any case,
    // address then referring page, rows in every state; never two rows with
    // one address.
    // clang-format off
    void replaceInUrls_data()
    {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("urlsAfter");
        QTest::addColumn<QStringList>("referersAfter");
        QTest::addColumn<int>("changed");
        QTest::addColumn<int>("refused");

        QTest::newRow("case ignored") << QStringList{"http://h/abc/1", "http://h/ABC/2"} << "ABC" << "xyz"
                                      << QStringList{"http://h/xyz/1", "http://h/xyz/2"}
                                      << QStringList{"http://h/xyz/1?p", "http://h/xyz/2?p"} << 2 << 0;
        QTest::newRow("two occurrences") << QStringList{"http://a.org/a.org/1"} << "a.org" << "b.net"
                                         << QStringList{"http://b.net/b.net/1"} << QStringList{"http://b.net/b.net/1?p"}
                                         << 1 << 0;
        QTest::newRow("no match") << QStringList{"http://h/1"} << "zzz" << "y" << QStringList{"http://h/1"}
                                  << QStringList{"http://h/1?p"} << 0 << 0;
        QTest::newRow("later row would duplicate an earlier one")
            << QStringList{"http://h/new/1", "http://h/old/1", "http://h/old/2"} << "old" << "new"
            << QStringList{"http://h/new/1", "http://h/old/1", "http://h/new/2"}
            << QStringList{"http://h/new/1?p", "http://h/new/1?p", "http://h/new/2?p"} << 2 << 1;
        QTest::newRow("two rows that become one address")
            << QStringList{"http://h/A/1", "http://h/a/1"} << "a/" << "b/"
            << QStringList{"http://h/b/1", "http://h/a/1"} << QStringList{"http://h/b/1?p", "http://h/b/1?p"} << 2 << 1;
    }
    // clang-format on

    void replaceInUrls()
    {
        QFETCH(QStringList, urls);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, urlsAfter);
        QFETCH(QStringList, referersAfter);
        QFETCH(int, changed);
        QFETCH(int, refused);

        DownloadList list;
        const ItemState states[] = {Waiting, Finished, Failed};
        for (int i = 0; i < urls.size(); ++i) {
            DownloadItem item;
            item.Url = urls[i];
            item.Referer = urls[i] + "?p";
            item.Name = QString::number(i);
            item.State = states[i % 3];
            QVERIFY(list.addItem(item));
        }

        const UrlReplaceResult result = ReplaceInUrls(list, from, to);

        QCOMPARE(result.changedRows, changed);
        QCOMPARE(result.refusedRows, refused);
        for (int row = 0; row < list.count(); ++row) {
            QCOMPARE(list.at(row).Url, urlsAfter[row]);
            QCOMPARE(list.at(row).Referer, referersAfter[row]);
            QCOMPARE(list.rowOfUrl(urlsAfter[row]), row);
        }
        for (const QString &url : urls) {
            if (!urlsAfter.contains(url))
                QCOMPARE(list.rowOfUrl(url), -1);
        }
    }
};

QTEST_GUILESS_MAIN(FileCommandsTest)
#include "tst_file_commands.moc"
