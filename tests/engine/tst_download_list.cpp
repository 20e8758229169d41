#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

DownloadItem row(const QString &url, ItemState state = Waiting, const QString &type = "pdf")
{
    DownloadItem item;
    item.Url = url;
    item.Name = url.section('/', -1);
    item.Type = type;
    item.State = state;
    return item;
}

} // namespace

Q_DECLARE_METATYPE(DownloadItem)

class TestDownloadList : public QObject
{
    Q_OBJECT

private slots:
    void emptyList();
    void summaryCountsEachState();
    void notDownloadedCount_data();
    void notDownloadedCount();
    void errorsAndPages_data();
    void errorsAndPages();
    void listFinished_data();
    void listFinished();
    void itemFilePath_data();
    void itemFilePath();
    void duplicateUrlLeavesListUnchanged();
    void lookupsFollowRemovalsAndAddressChanges();
    void updateKeepsKeyAndIdentity();
    void modelColumnsAndHeaders();
    void cellTexts_data();
    void cellTexts();
};

void TestDownloadList::emptyList()
{
    DownloadList list;
    QCOMPARE(list.countNotDownloaded(), 0);
    QVERIFY(list.isListFinished());
    QCOMPARE(list.CountErrorsAndPages(), 0);
    QCOMPARE(list.statusSummaryText(), QString("总数:0 正在下载:0 等待:0 已完成:0 失败:0"));
}

void TestDownloadList::summaryCountsEachState()
{
    DownloadList list;
    const ItemState states[] = {Waiting, Waiting, Downloading, Finished, Failed, Failed, Failed};
    int n = 0;
    for (ItemState state : states)
        QVERIFY(list.addItem(row(QString("http://h/%1").arg(n++), state)));
    // A picture index outside 1 to 4 counts only in the total.
    QVERIFY(list.addItem(row("http://h/odd", ItemState(7))));
    QCOMPARE(list.statusSummaryText(), QString("总数:8 正在下载:1 等待:2 已完成:1 失败:3"));
    QCOMPARE(RowCountText(list.count()), QString("8条"));
}

// clang-format off
void TestDownloadList::notDownloadedCount_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("downloaded");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("counted");
    QTest::newRow("fresh waiting row") << "" << "" << "" << 1 << 1;
    QTest::newRow("fresh row in any state") << "" << "" << "" << 4 << 1;
    QTest::newRow("waiting again after a busy control") << EngineText::kWaitingAgain << "" << "" << 1 << 0;
    QTest::newRow("progress only") << "" << "" << "37%" << 2 << 0;
    QTest::newRow("downloaded only") << "" << "0" << "" << 2 << 0;
}
// clang-format on

void TestDownloadList::notDownloadedCount()
{
    QFETCH(QString, size);
    QFETCH(QString, downloaded);
    QFETCH(QString, progress);
    QFETCH(int, state);
    QFETCH(int, counted);
    DownloadList list;
    DownloadItem item = row("http://h/a", ItemState(state));
    item.Size = SizeFromText(size);
    item.Downloaded = DownloadedFromText(downloaded);
    item.Progress = ProgressFromText(progress);
    list.addItem(item);
    QCOMPARE(list.countNotDownloaded(), counted);
}

// clang-format off
void TestDownloadList::errorsAndPages_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("counted");
    QTest::newRow("finished pdf") << "pdf" << 3 << 0;
    QTest::newRow("finished html") << "html" << 3 << 1;
    QTest::newRow("failed htm counts once") << "htm" << 4 << 1;
    QTest::newRow("failed pdf") << "pdf" << 4 << 1;
    QTest::newRow("upper-case HTM waiting") << "HTM" << 1 << 1;
    QTest::newRow("xml is not a page") << "xml" << 3 << 0;
}
// clang-format on

void TestDownloadList::errorsAndPages()
{
    QFETCH(QString, type);
    QFETCH(int, state);
    QFETCH(int, counted);
    DownloadList list;
    list.addItem(row("http://h/a", ItemState(state), type));
    QCOMPARE(list.CountErrorsAndPages(), counted);
}

// clang-format off
void TestDownloadList::listFinished_data()
{
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<bool>("finished");
    QTest::newRow("finished and failed") << QList<int>{3, 4, 3} << true;
    QTest::newRow("one waiting at the end") << QList<int>{3, 4, 1} << false;
    QTest::newRow("one downloading") << QList<int>{2} << false;
    QTest::newRow("odd picture index") << QList<int>{3, 0} << false;
}
// clang-format on

void TestDownloadList::listFinished()
{
    QFETCH(QList<int>, states);
    QFETCH(bool, finished);
    DownloadList list;
    int n = 0;
    for (int state : states)
        list.addItem(row(QString("http://h/%1").arg(n++), ItemState(state)));
    QCOMPARE(list.isListFinished(), finished);
}

// clang-format off
void TestDownloadList::itemFilePath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("expected");
    QTest::newRow("folder without separator") << "/pdf" << "pdf" << "/pdf/A1.pdf";
    QTest::newRow("folder with separator") << "/pdf/" << "pdf" << "/pdf/A1.pdf";
    QTest::newRow("no type") << "/pdf" << "" << "/pdf/A1";
}
// clang-format on

void TestDownloadList::itemFilePath()
{
    QFETCH(QString, folder);
    QFETCH(QString, type);
    QFETCH(QString, expected);
    DownloadItem item;
    item.Folder = folder;
    item.Name = "A1";
    item.Type = type;
    QCOMPARE(ItemFilePath(item), expected);
}

void TestDownloadList::duplicateUrlLeavesListUnchanged()
{
    DownloadList list;
    QVERIFY(list.addItem(row("http://h/a")));
    DownloadItem again = row("http://h/a", Finished, "htm");
    again.Name = "other";
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QVERIFY(!list.addItem(again));
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.at(0).Name, QString("a"));
    QCOMPARE(list.at(0).State, Waiting);
}

void TestDownloadList::lookupsFollowRemovalsAndAddressChanges()
{
    DownloadList list;
    for (const char *url : {"http://h/a", "http://h/b", "http://h/c", "http://h/d"})
        list.addItem(row(url));
    const quint64 idOfD = list.at(3).Id;

    QCOMPARE(list.removeItemsIf([](const DownloadItem &item) { return item.Url.endsWith('b'); }), 1);
    QCOMPARE(list.rowOfUrl("http://h/b"), -1);
    QCOMPARE(list.rowOfUrl("http://h/d"), 2);
    QCOMPARE(list.rowOfId(idOfD), 2);

    QVERIFY(!list.setUrl(0, "http://h/c")); // another row has it
    QCOMPARE(list.at(0).Url, QString("http://h/a"));
    QVERIFY(list.setUrl(0, "http://h/z"));
    QCOMPARE(list.rowOfUrl("http://h/z"), 0);
    QCOMPARE(list.rowOfUrl("http://h/a"), -1);
    // The freed address can be added again.
    QVERIFY(list.addItem(row("http://h/a")));
    QVERIFY(list.at(3).Id != idOfD);
}

void TestDownloadList::updateKeepsKeyAndIdentity()
{
    DownloadList list;
    list.addItem(row("http://h/a"));
    const quint64 id = list.at(0).Id;
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    list.updateItem(0, [](DownloadItem &item) {
        item.State = Finished;
        item.Progress = ItemProgress::ofPercent(100);
        item.Url = "http://elsewhere/";
        item.Id = 99;
    });
    QCOMPARE(changed.count(), 1);
    QCOMPARE(ProgressText(list.at(0).Progress), QString("100%"));
    QCOMPARE(list.at(0).Url, QString("http://h/a"));
    QCOMPARE(list.at(0).Id, id);
}

void TestDownloadList::modelColumnsAndHeaders()
{
    DownloadList list;
    DownloadItem item = row("http://h/a");
    item.Size = ItemSize::ofBytes(123456);
    item.Folder = "/pdf/";
    list.addItem(item);
    QCOMPARE(list.columnCount(), 7);
    const QStringList headers{"名称", "类型", "文件大小", "已下载数", "百分比", "保存路径", "B"};
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(list.headerData(column, Qt::Horizontal).toString(), headers[column]);
    QCOMPARE(list.data(list.index(0, DownloadList::SizeColumn)).toString(), QString("123456"));
    QCOMPARE(list.data(list.index(0, DownloadList::SizeColumn), Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
             int(Qt::AlignRight));
    QCOMPARE(list.data(list.index(0, DownloadList::FolderColumn), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft,
             int(Qt::AlignLeft));
    QCOMPARE(list.data(list.index(0, DownloadList::BColumn)).toString(), QString());
    QCOMPARE(list.data(list.index(0, 0), DownloadList::StateRole).toInt(), 1);
    QCOMPARE(DownloadList::columnWidthTwips(DownloadList::NameColumn), 6000);
}

// The size, downloaded and progress cells hold numbers and words; the list
// shows each as its text, gives its number through the value role, and a
// text read back (the command line's state file) is the same cell again.
// clang-format off
void TestDownloadList::cellTexts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<DownloadItem>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("readsBack"); // false: the text reads back as an empty cell

    const auto sized = [](const ItemSize &size) {
        DownloadItem item = row("http://h/a");
        item.Size = size;
        return item;
    };
    const auto progressing = [](const ItemProgress &progress) {
        DownloadItem item = row("http://h/a");
        item.Progress = progress;
        return item;
    };
    DownloadItem received = row("http://h/a");
    received.Downloaded = 0;
    const int size = DownloadList::SizeColumn;
    const int percent = DownloadList::ProgressColumn;

    QTest::newRow("a length") << size << sized(ItemSize::ofBytes(123456)) << "123456" << QVariant(qint64(123456))
                              << true;
    QTest::newRow("no size yet") << size << sized(ItemSize()) << "" << QVariant() << true;
    QTest::newRow("unknown length") << size << sized(ItemSize::ofWord(SizeWord::Unknown)) << "未知" << QVariant()
                                    << true;
    QTest::newRow("waiting again") << size << sized(ItemSize::ofWord(SizeWord::WaitingAgain)) << "等待重新下载"
                                   << QVariant() << true;
    QTest::newRow("a wait counting down") << size << sized(ItemSize::ofWord(SizeWord::WaitingToRetry, 42))
                                          << "等待重试 42 秒" << QVariant() << false;
    QTest::newRow("nothing received yet") << int(DownloadList::DownloadedColumn) << received << "0"
                                          << QVariant(qint64(0)) << true;
    QTest::newRow("a percentage") << percent << progressing(ItemProgress::ofPercent(37)) << "37%"
                                  << QVariant(qint64(37)) << true;
    QTest::newRow("more than announced") << percent << progressing(ItemProgress::received(1040, 1000)) << "104%"
                                         << QVariant(qint64(104)) << true;
    const struct { ProgressWord word; const char *text; } words[] = {
        {ProgressWord::LargeFileSkipped, "大文件，跳过"}, {ProgressWord::ExistsSkipped, "已存在，跳过"},
        {ProgressWord::CannotReplace, "无法替换"},        {ProgressWord::Cancelled, "下载取消"},
        {ProgressWord::DoesNotExist, "不存在"},
    };
    for (const auto &word : words)
        QTest::newRow(word.text) << percent << progressing(ItemProgress::ofWord(word.word))
                                 << QString::fromUtf8(word.text) << QVariant() << true;
}
// clang-format on

void TestDownloadList::cellTexts()
{
    QFETCH(int, column);
    QFETCH(DownloadItem, item);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    QFETCH(bool, readsBack);

    DownloadList list;
    list.addItem(item);
    const QModelIndex cell = list.index(0, column);
    QCOMPARE(cell.data().toString(), text);
    QCOMPARE(cell.data(DownloadList::ValueRole), value);

    const DownloadItem &stored = list.at(0);
    switch (column) {
    case DownloadList::SizeColumn: QCOMPARE(SizeFromText(text), readsBack ? stored.Size : ItemSize()); break;
    case DownloadList::DownloadedColumn: QCOMPARE(DownloadedFromText(text), stored.Downloaded); break;
    default: QCOMPARE(ProgressFromText(text), stored.Progress); break;
    }
}

QTEST_GUILESS_MAIN(TestDownloadList)
#include "tst_download_list.moc"
