// The download list's commands over a real list and real files: which rows
// each reset, remove and delete-files command takes, the size prompt, the
// sort rules, random order, the refusals while downloading, and the two file
// type commands of the tools menu.
#include "tests/engine/FakeEngineRig.h"

#include "download_window/CommandTexts.h"
#include "download_window/ListCommands.h"
#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(ItemState)

namespace {

enum class Reset { Selected, Failed, WebPages, FailedAndWebPages };
enum class Remove { Selected, Failed, Finished };
enum class Busy { Idle, DownloadingOn, TransferUnderWay };
enum class Guarded { RandomOrder, RemoveSelected, RemoveFailed, RemoveFinished, Clear, Sort };

QStringList typesOf(const DownloadList &list)
{
    QStringList types;
    for (int row = 0; row < list.count(); ++row)
        types << list.at(row).Type;
    return types;
}

QStringList cellsOf(const DownloadList &list, int column)
{
    QStringList cells;
    for (int row = 0; row < list.count(); ++row)
        cells << list.data(list.index(row, column)).toString();
    return cells;
}

} // namespace

Q_DECLARE_METATYPE(Reset)
Q_DECLARE_METATYPE(Remove)
Q_DECLARE_METATYPE(Busy)
Q_DECLARE_METATYPE(Guarded)

class ListCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // One list, each reset command: which rows wait again, the types they
    // end with, and the files left on disk (each row has a file under its
    // type and one under "xxx"). The selection is rows a, c and e.
    // clang-format off
    void resets_data()
    {
        QTest::addColumn<Reset>("command");
        QTest::addColumn<QString>("resetRows");
        QTest::addColumn<QStringList>("typesAfter");

        QTest::newRow("selected: only the ended ones")
            << Reset::Selected << "ac" << QStringList{"pdf", "html", "xml", "pdf", "htm"};
        QTest::newRow("failed: the failed html row becomes xxx")
            << Reset::Failed << "ab" << QStringList{"pdf", "xxx", "xml", "pdf", "htm"};
        QTest::newRow("web pages: the finished xml row too")
            << Reset::WebPages << "bc" << QStringList{"pdf", "xxx", "xxx", "pdf", "htm"};
        QTest::newRow("failed and web pages: not the xml row")
            << Reset::FailedAndWebPages << "ab" << QStringList{"pdf", "xxx", "xml", "pdf", "htm"};
    }
    // clang-format on

    void resets()
    {
        QFETCH(Reset, command);
        QFETCH(QString, resetRows);
        QFETCH(QStringList, typesAfter);

        FakeEngineRig rig;
        const QString full = QStringLiteral("1000");
        rig.add("a", Failed, "pdf", full, "10", "1%");
        rig.add("b", Failed, "html", full, full, "100%");
        rig.add("c", Finished, "xml", full, full, "100%");
        rig.add("d", Finished, "pdf", full, full, "100%");
        rig.add("e", Waiting, "htm");
        for (int row = 0; row < rig.list().count(); ++row) {
            rig.touch(rig.list().at(row).Name + "." + rig.list().at(row).Type);
            rig.touch(rig.list().at(row).Name + ".xxx");
        }
        ListCommands commands(rig.engine, rig.prompts);
        QSignalSpy changes(&rig.list(), &QAbstractItemModel::dataChanged);

        int reset = 0;
        switch (command) {
        case Reset::Selected: reset = commands.resetSelected({4, 0, 2}); break;
        case Reset::Failed: reset = commands.resetFailed(); break;
        case Reset::WebPages: reset = commands.resetWebPages(); break;
        case Reset::FailedAndWebPages: reset = commands.resetFailedAndWebPages(); break;
        }

        QCOMPARE(reset, resetRows.size());
        QCOMPARE(typesOf(rig.list()), typesAfter);
        QCOMPARE(changes.count(), 1); // views hear of the walk once
        const QStringList originalTypes{"pdf", "html", "xml", "pdf", "htm"};
        for (int row = 0; row < rig.list().count(); ++row) {
            const DownloadItem &item = rig.list().at(row);
            const bool wasReset = resetRows.contains(item.Name);
            QCOMPARE(item.State == Waiting && item.Progress.isEmpty() && item.Size.isEmpty(),
                     wasReset || item.Name == "e");
            QCOMPARE(rig.exists(item.Name + "." + originalTypes[row]), !wasReset);
            // The second delete takes the file under the new type only.
            QCOMPARE(rig.exists(item.Name + ".xxx"), !(wasReset && item.Type == "xxx"));
        }
        QVERIFY(rig.prompts.records.isEmpty());
    }

    // The size prompt: only a number counts, and only ended rows that
    // arrived whole and are smaller than it are fetched again.
    // clang-format off
    void resetSmallerThan_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("downloaded");
        QTest::addColumn<ItemState>("state");
        QTest::addColumn<bool>("reset");

        QTest::newRow("4999 bytes below 5000") << std::optional<QString>("5000") << "4999" << "4999" << Finished << true;
        QTest::newRow("5000 bytes not below 5000") << std::optional<QString>("5000") << "5000" << "5000" << Finished << false;
        QTest::newRow("partial: 2000 of 3000") << std::optional<QString>("5000") << "3000" << "2000" << Failed << false;
        QTest::newRow("failed but whole") << std::optional<QString>("5000") << "3000" << "3000" << Failed << true;
        QTest::newRow("waiting rows are left") << std::optional<QString>("5000") << "3000" << "3000" << Waiting << false;
        QTest::newRow("answer trimmed") << std::optional<QString>(" 5000 ") << "4999" << "4999" << Finished << true;
        QTest::newRow("size word") << std::optional<QString>("5000") << "未知" << "0" << Finished << false;
        QTest::newRow("abc") << std::optional<QString>("abc") << "10" << "10" << Finished << false;
        QTest::newRow("empty answer") << std::optional<QString>("") << "10" << "10" << Finished << false;
        QTest::newRow("cancelled") << std::optional<QString>() << "10" << "10" << Finished << false;
        // Byte counts compare exactly: one byte short of a large size is not whole.
        QTest::newRow("one byte short of 20000001")
            << std::optional<QString>("30000000") << "20000001" << "20000000" << Failed << false;
    }
    // clang-format on

    void resetSmallerThan()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, size);
        QFETCH(QString, downloaded);
        QFETCH(ItemState, state);
        QFETCH(bool, reset);

        FakeEngineRig rig;
        rig.add("a", state, "pdf", size, downloaded, "100%");
        rig.touch("a.pdf");
        rig.prompts.inputs.enqueue(answer);
        ListCommands commands(rig.engine, rig.prompts);

        QCOMPARE(commands.resetSmallerThan(), reset ? 1 : 0);

        QCOMPARE(rig.prompts.records.size(), 1);
        QCOMPARE(rig.prompts.records[0].kind, PromptRecorder::Kind::Input);
        QCOMPARE(rig.prompts.records[0].text, CommandText::kAskNumber);
        QCOMPARE(rig.prompts.records[0].start, QString());
        QCOMPARE(rig.list().at(0).State, reset ? Waiting : state);
        QCOMPARE(rig.exists("a.pdf"), !reset);
    }

    // The removes walk the list once; neighbours that both match both go.
    // clang-format off
    void removes_data()
    {
        QTest::addColumn<Remove>("command");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("left");

        // Rows: a failed, b failed, c finished, d waiting, e finished, f failed.
        QTest::newRow("failed: two adjacent failed rows")
            << Remove::Failed << QList<int>{} << QStringList{"c", "d", "e"};
        QTest::newRow("finished") << Remove::Finished << QList<int>{} << QStringList{"a", "b", "d", "f"};
        QTest::newRow("selected, any state") << Remove::Selected << QList<int>{5, 0, 1, 3}
                                             << QStringList{"c", "e"};
        QTest::newRow("nothing selected") << Remove::Selected << QList<int>{} << QStringList{"a", "b", "c", "d", "e", "f"};
    }
    // clang-format on

    void removes()
    {
        QFETCH(Remove, command);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, left);

        FakeEngineRig rig;
        const ItemState states[] = {Failed, Failed, Finished, Waiting, Finished, Failed};
        const char *names[] = {"a", "b", "c", "d", "e", "f"};
        for (int i = 0; i < 6; ++i)
            rig.add(names[i], states[i]);
        rig.touch("a.pdf");
        ListCommands commands(rig.engine, rig.prompts);
        QSignalSpy rowCount(&commands, &ListCommands::rowCountChanged);

        bool done = false;
        switch (command) {
        case Remove::Selected: done = commands.removeSelected(selected); break;
        case Remove::Failed: done = commands.removeFailed(); break;
        case Remove::Finished: done = commands.removeFinished(); break;
        }

        QVERIFY(done);
        QCOMPARE(rig.names(), left);
        QCOMPARE(rowCount.count(), 1);
        QCOMPARE(rowCount[0][0].toInt(), left.size());
        for (int row = 0; row < rig.list().count(); ++row)
            QCOMPARE(rig.list().rowOfUrl(rig.list().at(row).Url), row);
        QVERIFY(rig.exists("a.pdf")); // files stay on disk
        QVERIFY(rig.prompts.records.isEmpty());
    }

    // clang-format off
    void clearAsksFirst_data()
    {
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<int>("rowsLeft");
        QTest::newRow("yes empties the list") << PromptAnswer::Yes << 0;
        QTest::newRow("no keeps it") << PromptAnswer::No << 2;
    }
    // clang-format on

    void clearAsksFirst()
    {
        QFETCH(PromptAnswer, answer);
        QFETCH(int, rowsLeft);

        FakeEngineRig rig;
        rig.add("a", Finished);
        rig.add("b", Waiting);
        rig.prompts.answers.enqueue(answer);
        ListCommands commands(rig.engine, rig.prompts);
        QSignalSpy rowCount(&commands, &ListCommands::rowCountChanged);

        QCOMPARE(commands.clearList(), rowsLeft == 0);

        QCOMPARE(rig.list().count(), rowsLeft);
        QCOMPARE(rig.prompts.records.size(), 1);
        QCOMPARE(rig.prompts.records[0].text, CommandText::kAskClearList);
        QCOMPARE(rig.prompts.records[0].icon, PromptIcon::None);
        QCOMPARE(rig.prompts.records[0].buttons, PromptButtons::YesNo);
        QCOMPARE(rowCount.count(), rowsLeft == 0 ? 1 : 0);
    }

    // Removes, "清空" and random order refuse while the list is busy (the
    // download timer on); sorting refuses while a run is active, which a
    // transfer still under way is too.
    // clang-format off
    void busyRefusals_data()
    {
        QTest::addColumn<Guarded>("command");
        QTest::addColumn<Busy>("busy");
        QTest::addColumn<QString>("message");

        const QString busyText = CommandText::kListBusy;
        const struct { const char *name; Guarded command; } commands[] = {
            {"random order", Guarded::RandomOrder}, {"remove selected", Guarded::RemoveSelected},
            {"remove failed", Guarded::RemoveFailed}, {"remove finished", Guarded::RemoveFinished},
            {"clear", Guarded::Clear},
        };
        for (const auto &c : commands) {
            QTest::addRow("%s, downloading on", c.name) << c.command << Busy::DownloadingOn << busyText;
            QTest::addRow("%s, idle", c.name) << c.command << Busy::Idle << QString();
        }
        QTest::newRow("remove failed, a transfer under way but downloading off")
            << Guarded::RemoveFailed << Busy::TransferUnderWay << QString();
        QTest::newRow("sort, downloading on") << Guarded::Sort << Busy::DownloadingOn << CommandText::kStopBeforeSorting;
        QTest::newRow("sort, a transfer under way") << Guarded::Sort << Busy::TransferUnderWay
                                                   << CommandText::kStopBeforeSorting;
        QTest::newRow("sort, idle") << Guarded::Sort << Busy::Idle << QString();
    }
    // clang-format on

    void busyRefusals()
    {
        QFETCH(Guarded, command);
        QFETCH(Busy, busy);
        QFETCH(QString, message);

        FakeEngineRig rig;
        rig.add("b", Failed, "pdf", "20");
        rig.add("a", Finished, "pdf", "10");
        if (busy == Busy::DownloadingOn)
            rig.engine.start();
        if (busy == Busy::TransferUnderWay)
            rig.engine.values().DownloadRunning = true;
        ListCommands commands(rig.engine, rig.prompts);
        const QStringList before = rig.names();

        switch (command) {
        case Guarded::RandomOrder: commands.randomOrder(); break;
        case Guarded::RemoveSelected: commands.removeSelected({0, 1}); break;
        case Guarded::RemoveFailed: commands.removeFailed(); break;
        case Guarded::RemoveFinished: commands.removeFinished(); break;
        case Guarded::Clear:
            rig.prompts.answers.enqueue(PromptAnswer::Yes);
            commands.clearList();
            break;
        case Guarded::Sort: commands.sortByColumn(DownloadList::SizeColumn); break;
        }

        if (message.isEmpty()) {
            QVERIFY(!rig.prompts.messageTexts().contains(CommandText::kListBusy));
            QVERIFY(!rig.prompts.messageTexts().contains(CommandText::kStopBeforeSorting));
            return;
        }
        QCOMPARE(rig.prompts.messageTexts(), QStringList{message});
        QCOMPARE(rig.prompts.records[0].icon, PromptIcon::Information);
        QCOMPARE(rig.names(), before);
        if (command == Guarded::Sort)
            QCOMPARE(commands.sortOrder(), Qt::AscendingOrder); // a refused click does not flip
    }

    // A header click flips the one direction first (the first click sorts
    // descending), then sorts; number columns read back as they were.
    // clang-format off
    void sortByColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("descending");
        QTest::addColumn<QStringList>("ascending");

        QTest::newRow("sizes by value") << int(DownloadList::SizeColumn) << QStringList{"1000", "999", "25"}
                                        << QStringList{"1000", "999", "25"} << QStringList{"25", "999", "1000"};
        QTest::newRow("size words after the numbers")
            << int(DownloadList::SizeColumn) << QStringList{"未知", "", "1000", "999"}
            << QStringList{"未知", "1000", "999", ""} << QStringList{"", "999", "1000", "未知"};
        QTest::newRow("leading zeros go") << int(DownloadList::SizeColumn) << QStringList{"0999", "01000"}
                                          << QStringList{"1000", "999"} << QStringList{"999", "1000"};
        QTest::newRow("percent cells") << int(DownloadList::ProgressColumn) << QStringList{"100%", "不存在", "5%"}
                                       << QStringList{"不存在", "100%", "5%"} << QStringList{"5%", "100%", "不存在"};
        QTest::newRow("percent rewritten whole") << int(DownloadList::ProgressColumn) << QStringList{"007%", "12"}
                                                 << QStringList{"12%", "7%"} << QStringList{"7%", "12%"};
        QTest::newRow("names ignore letter case") << int(DownloadList::NameColumn) << QStringList{"b", "C", "a"}
                                                  << QStringList{"C", "b", "a"} << QStringList{"a", "b", "C"};
    }
    // clang-format on

    void sortByColumn()
    {
        QFETCH(int, column);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, descending);
        QFETCH(QStringList, ascending);

        FakeEngineRig rig;
        for (int i = 0; i < cells.size(); ++i) {
            const QString cell = cells[i];
            const QString name = column == DownloadList::NameColumn ? cell : QStringLiteral("row%1").arg(i);
            rig.add(name, Finished, "pdf", column == DownloadList::SizeColumn ? cell : QString(),
                    column == DownloadList::DownloadedColumn ? cell : QString(),
                    column == DownloadList::ProgressColumn ? cell : QString());
        }
        ListCommands commands(rig.engine, rig.prompts);
        const QPersistentModelIndex first = rig.list().index(0, 0);
        const QString firstUrl = rig.list().at(0).Url;

        QVERIFY(commands.sortByColumn(column));
        QCOMPARE(commands.sortOrder(), Qt::DescendingOrder);
        QCOMPARE(cellsOf(rig.list(), column), descending);
        QVERIFY(commands.sortByColumn(column));
        QCOMPARE(commands.sortOrder(), Qt::AscendingOrder);
        QCOMPARE(cellsOf(rig.list(), column), ascending);

        // The current row and the address index follow the rows.
        QCOMPARE(rig.list().at(first.row()).Url, firstUrl);
        for (int row = 0; row < rig.list().count(); ++row)
            QCOMPARE(rig.list().rowOfUrl(rig.list().at(row).Url), row);
        QVERIFY(rig.prompts.records.isEmpty());
    }

    // Rows with equal keys keep their order in both directions.
    void sortIsStable()
    {
        FakeEngineRig rig;
        for (const char *name : {"a", "b", "c", "d"})
            rig.add(name, Finished, QLatin1String(name) < QLatin1String("c") ? "pdf" : "htm");
        ListCommands commands(rig.engine, rig.prompts);
        commands.sortByColumn(DownloadList::TypeColumn);
        QCOMPARE(rig.names(), (QStringList{"a", "b", "c", "d"}));
        commands.sortByColumn(DownloadList::TypeColumn);
        QCOMPARE(rig.names(), (QStringList{"c", "d", "a", "b"}));
    }

    // Random order keeps every row whole, reports, and drops the selection
    // (views are reset).
    void randomOrderKeepsRows()
    {
        FakeEngineRig rig;
        for (int i = 0; i < 40; ++i)
            rig.add(QStringLiteral("n%1").arg(i), ItemState(1 + i % 4), "pdf", QString::number(i));
        ListCommands commands(rig.engine, rig.prompts);
        QSignalSpy resets(&rig.list(), &QAbstractItemModel::modelReset);

        commands.randomOrder();

        QCOMPARE(rig.prompts.messageTexts(), QStringList{CommandText::kShuffled});
        QCOMPARE(rig.prompts.records[0].icon, PromptIcon::Information);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(rig.list().count(), 40);
        for (int row = 0; row < 40; ++row) {
            const DownloadItem &item = rig.list().at(row);
            const int n = item.Name.mid(1).toInt();
            QCOMPARE(item.Url, QStringLiteral("http://127.0.0.1/n%1").arg(n));
            QCOMPARE(SizeText(item.Size), QString::number(n));
            QCOMPARE(item.State, ItemState(1 + n % 4));
            QCOMPARE(rig.list().rowOfUrl(item.Url), row);
        }
        rig.prompts.clear();
        commands.ShuffleList(false);
        QVERIFY(rig.prompts.records.isEmpty());
    }

    // At most 10000 draws: the rows never drawn stay in front, in their order.
    void randomOrderDrawsAtMostTenThousand()
    {
        FakeEngineRig rig;
        constexpr int kRows = 10005;
        for (int i = 0; i < kRows; ++i)
            rig.add(QString::number(i), Waiting);
        ListCommands commands(rig.engine, rig.prompts);

        commands.ShuffleList(false);

        int previous = -1;
        for (int row = 0; row < kRows - 10000; ++row) {
            const int n = rig.list().at(row).Name.toInt();
            QVERIFY2(n > previous, "rows never drawn keep their order");
            previous = n;
        }
        QSet<QString> urls;
        for (int row = 0; row < kRows; ++row)
            urls.insert(rig.list().at(row).Url);
        QCOMPARE(urls.size(), kRows);
    }

    // The delete-files commands empty the matching rows' size texts and
    // delete their files (and the bytes a failed transfer kept); the rows
    // stay with their state and type.
    // clang-format off
    void deleteFiles_data()
    {
        QTest::addColumn<bool>("webPages");
        QTest::addColumn<QString>("cleared");
        QTest::newRow("web pages, xml included, ended only") << true << "bc";
        QTest::newRow("failed") << false << "ab";
    }
    // clang-format on

    void deleteFiles()
    {
        QFETCH(bool, webPages);
        QFETCH(QString, cleared);

        FakeEngineRig rig;
        rig.add("a", Failed, "pdf", "10", "5", "50%");
        rig.add("b", Failed, "htm", "10", "10", "100%");
        rig.add("c", Finished, "xml", "10", "10", "100%");
        rig.add("d", Waiting, "html", "10", "10", "100%");
        const QStringList files{"a.pdf", "a.pdf.part", "b.htm", "c.xml", "d.html"};
        for (const QString &file : files)
            rig.touch(file);
        ListCommands commands(rig.engine, rig.prompts);

        const int deleted = webPages ? commands.deleteWebPageFiles() : commands.deleteFailedFiles();

        QCOMPARE(deleted, cleared.size());
        QCOMPARE(typesOf(rig.list()), (QStringList{"pdf", "htm", "xml", "html"}));
        const ItemState states[] = {Failed, Failed, Finished, Waiting};
        for (int row = 0; row < 4; ++row) {
            const DownloadItem &item = rig.list().at(row);
            const bool hit = cleared.contains(item.Name);
            QCOMPARE(item.State, states[row]);
            QCOMPARE(item.Size.isEmpty() && !item.Downloaded && item.Progress.isEmpty(), hit);
        }
        for (const QString &file : files)
            QCOMPARE(rig.exists(file), !cleared.contains(file.left(1)));
        QVERIFY(rig.prompts.records.isEmpty());
    }

    void checkFiles()
    {
        FakeEngineRig rig;
        rig.add("here", Finished, "pdf", "1", "1", "100%");
        rig.add("gone", Finished, "pdf", "1", "1", "100%");
        rig.add("waiting", Waiting);
        rig.add(".hidden", Finished, "pdf", "1", "1", "100%");
        rig.add("folder", Finished, "", "1", "1", "100%"); // a folder of that name is no file
        rig.add("elsewhere", Finished, "pdf", "1", "1", "100%");
        rig.list().updateItem(5, [&rig](DownloadItem &item) { item.Folder = rig.folder.filePath("missing"); });
        rig.touch("here.pdf");
        rig.touch(".hidden.pdf");
        QVERIFY(QDir(rig.folder.path()).mkdir("folder"));
        ListCommands commands(rig.engine, rig.prompts);

        QCOMPARE(commands.checkFiles(), 4);

        QCOMPARE(cellsOf(rig.list(), DownloadList::ProgressColumn),
                 (QStringList{"100%", "不存在", "不存在", "100%", "不存在", "不存在"}));
        QVERIFY(rig.prompts.records.isEmpty());
    }

    // 检查并纠正磁盘文件类型: a login page stored as a PDF gets its own type;
    // refused while downloading is on.
    // clang-format off
    void checkAndCorrectFileTypes_data()
    {
        QTest::addColumn<bool>("downloading");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("typeAfter");
        QTest::newRow("corrects and counts") << false << QStringLiteral("纠正文件类型：1个.") << "htm";
        QTest::newRow("refused while downloading") << true << CommandText::kListBusy << "pdf";
    }
    // clang-format on

    void checkAndCorrectFileTypes()
    {
        QFETCH(bool, downloading);
        QFETCH(QString, message);
        QFETCH(QString, typeAfter);

        FakeEngineRig rig;
        rig.add("x", Finished, "pdf", "1", "1", "100%");
        writeFile(rig.folder.filePath("x.pdf"), "<html><head><title>Sign in</title></head><body></body></html>");
        if (downloading)
            rig.engine.start();
        ListCommands commands(rig.engine, rig.prompts);

        commands.checkAndCorrectFileTypes();

        QCOMPARE(rig.prompts.messageTexts(), QStringList{message});
        QCOMPARE(rig.list().at(0).Type, typeAfter);
        QCOMPARE(rig.exists("x." + typeAfter), true);
    }

    // 打开文件判断类型: the type of a file the user picks.
    // clang-format off
    void tellFileType_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("picked");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("a PDF") << QByteArray("%PDF-1.4\nbody of a document") << true
                               << QStringList{QStringLiteral("文件类型为：pdf")};
        QTest::newRow("not recognised") << QByteArray("plain words, nothing more") << true
                                        << QStringList{CommandText::kCannotTellType};
        QTest::newRow("dialog cancelled") << QByteArray("%PDF-1.4\nbody of a document") << false << QStringList{};
    }
    // clang-format on

    void tellFileType()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, picked);
        QFETCH(QStringList, messages);

        FakeEngineRig rig;
        const QString path = rig.folder.filePath("picked.bin");
        writeFile(path, content);
        if (picked)
            rig.prompts.paths.enqueue(path);
        ListCommands commands(rig.engine, rig.prompts);

        commands.tellFileType();

        QCOMPARE(rig.prompts.records[0].kind, PromptRecorder::Kind::OpenFile);
        QCOMPARE(rig.prompts.messageTexts(), messages);
        for (const PromptRecorder::Record &record : rig.prompts.records) {
            if (record.kind == PromptRecorder::Kind::Message)
                QCOMPARE(record.icon, PromptIcon::Information);
        }
    }
};

QTEST_GUILESS_MAIN(ListCommandsTest)
#include "tst_list_commands.moc"
