#include "engine/DownloadList.h"
#include "engine/ListResets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Command { Failed, WebPages, FailedAndWebPages };

int run(Command command, DownloadList &list)
{
    switch (command) {
    case Command::Failed: return ResetFailedItems(list);
    case Command::WebPages: return ResetWebPageItems(list);
    case Command::FailedAndWebPages: return ResetFailedAndWebPageItems(list);
    }
    return 0;
}

bool touch(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(ItemState)

class ListResetsTest : public QObject
{
    Q_OBJECT

private slots:
    // Which rows each reset command takes, and what a reset row looks like
    // afterwards: waiting, no size, downloaded or progress, "xxx" for a web
    // page, and neither its file under the old type nor one under the new type left.
    // clang-format off
    void resetCriteria_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("type");
        QTest::addColumn<ItemState>("state");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("typeAfter");

        QTest::newRow("failed: failed pdf") << Command::Failed << "pdf" << Failed << true << "pdf";
        QTest::newRow("failed: failed html becomes xxx") << Command::Failed << "html" << Failed << true << "xxx";
        QTest::newRow("failed: failed xml keeps its type") << Command::Failed << "xml" << Failed << true << "xml";
        QTest::newRow("failed: finished pdf left") << Command::Failed << "pdf" << Finished << false << "pdf";
        QTest::newRow("failed: finished htm left") << Command::Failed << "htm" << Finished << false << "htm";
        QTest::newRow("failed: downloading left") << Command::Failed << "pdf" << Downloading << false << "pdf";

        QTest::newRow("pages: finished HTM, any case") << Command::WebPages << "HTM" << Finished << true << "xxx";
        QTest::newRow("pages: failed html") << Command::WebPages << "html" << Failed << true << "xxx";
        QTest::newRow("pages: finished xml becomes xxx") << Command::WebPages << "xml" << Finished << true << "xxx";
        QTest::newRow("pages: failed pdf left") << Command::WebPages << "pdf" << Failed << false << "pdf";
        QTest::newRow("pages: waiting html left") << Command::WebPages << "html" << Waiting << false << "html";
        QTest::newRow("pages: downloading htm left") << Command::WebPages << "htm" << Downloading << false << "htm";

        QTest::newRow("both: failed pdf") << Command::FailedAndWebPages << "pdf" << Failed << true << "pdf";
        QTest::newRow("both: finished htm") << Command::FailedAndWebPages << "htm" << Finished << true << "xxx";
        QTest::newRow("both: failed xml keeps its type") << Command::FailedAndWebPages << "xml" << Failed << true << "xml";
        QTest::newRow("both: finished xml left") << Command::FailedAndWebPages << "xml" << Finished << false << "xml";
        QTest::newRow("both: waiting htm left") << Command::FailedAndWebPages << "htm" << Waiting << false << "htm";
    }
    // clang-format on

    void resetCriteria()
    {
        QFETCH(Command, command);
        QFETCH(QString, type);
        QFETCH(ItemState, state);
        QFETCH(bool, reset);
        QFETCH(QString, typeAfter);

        QTemporaryDir folder;
        DownloadList list;
        DownloadItem item;
        item.Url = QStringLiteral("http://site/a");
        item.Name = QStringLiteral("A");
        item.Type = type;
        item.Folder = folder.path();
        item.State = state;
        item.Size = ItemSize::ofBytes(1000);
        item.Downloaded = 1000;
        item.Progress = ItemProgress::ofPercent(100);
        QVERIFY(list.addItem(item));
        const QString oldFile = folder.filePath(QStringLiteral("A.") + type);
        const QString newFile = folder.filePath(QStringLiteral("A.") + typeAfter);
        QVERIFY(touch(oldFile));
        QVERIFY(touch(newFile));

        QCOMPARE(run(command, list), reset ? 1 : 0);

        const DownloadItem &after = list.at(0);
        QCOMPARE(after.Type, typeAfter);
        QCOMPARE(after.State, reset ? Waiting : state);
        QCOMPARE(after.Progress, reset ? ItemProgress() : item.Progress);
        QCOMPARE(after.Size, reset ? ItemSize() : item.Size);
        QCOMPARE(after.Downloaded, reset ? std::nullopt : item.Downloaded);
        QCOMPARE(QFile::exists(oldFile), !reset);
        QCOMPARE(QFile::exists(newFile), !reset);
    }

    // A reset row is waiting again and no longer counts as done, so the
    // supervisor's "not yet downloaded" count sees it; rows that do not match
    // keep their files.
    void mixedListCounts()
    {
        QTemporaryDir folder;
        DownloadList list;
        const struct
        {
            const char *name;
            const char *type;
            ItemState state;
        } rows[] = {
            {"a", "pdf", Failed},
            {"b", "html", Finished},
            {"c", "pdf", Finished},
            {"d", "xml", Failed},
        };
        for (const auto &row : rows) {
            DownloadItem item;
            item.Url = QStringLiteral("http://site/") + QLatin1String(row.name);
            item.Name = QLatin1String(row.name);
            item.Type = QLatin1String(row.type);
            item.Folder = folder.path();
            item.State = row.state;
            item.Progress = ItemProgress::ofPercent(100);
            QVERIFY(list.addItem(item));
            QVERIFY(touch(ItemFilePath(item)));
        }
        QCOMPARE(ResetFailedAndWebPageItems(list), 3);
        QCOMPARE(list.countNotDownloaded(), 3);
        QVERIFY(QFile::exists(ItemFilePath(list.at(2))));
        QCOMPARE(list.at(1).Type, QStringLiteral("xxx"));
        QCOMPARE(list.at(3).Type, QStringLiteral("xml"));
    }
};

QTEST_GUILESS_MAIN(ListResetsTest)
#include "tst_list_resets.moc"
