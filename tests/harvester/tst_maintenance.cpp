#include "harvester/HarvestExport.h"
#include "harvester/HarvestList.h"
#include "harvester/HarvestMaintenance.h"
#include "platform/CodePage.h"
#include "tests/support/PromptRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

enum class Command { Selected, Done, Containing, NotContaining, All };

struct Row
{
    QString title;
    QString status;
};

// The list of the clear cases: titles and statuses; links are made unique.
void fill(HarvestList &list, const QList<Row> &rows)
{
    for (const Row &row : rows) {
        const QString link = QStringLiteral("https://arc.example.org/doi/pdf/%1").arg(list.count());
        list.addEntry(row.title, link, QStringLiteral("https://arc.example.org/search"), QStringLiteral("pdf"),
                      QString(), QStringLiteral("JS"));
        if (!row.status.isEmpty())
            list.setStatus(list.count() - 1, row.status);
    }
}

QStringList titles(const HarvestList &list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.at(row).Title);
    return result;
}

ClearOutcome run(HarvestMaintenance &maintenance, Command command, const QSet<int> &selected)
{
    switch (command) {
    case Command::Selected: return maintenance.clearSelected(selected);
    case Command::Done: return maintenance.clearDone();
    case Command::Containing: return maintenance.clearTitlesContaining();
    case Command::NotContaining: return maintenance.clearTitlesNotContaining();
    case Command::All: return maintenance.clearAll();
    }
    return ClearOutcome::Stopped;
}

const QList<Row> kFourRows = {
    {"Using pdf tools", "成功"},
    {"Portable documents", ""},
    {"PDF/A archives", "分析失败"},
    {"Rotor wake", "成功"},
};

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(ClearOutcome)
Q_DECLARE_METATYPE(QList<Row>)
Q_DECLARE_METATYPE(std::optional<QString>)

class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void clear_data();
    void clear();
    void clearRefusedWhileAnalysing_data();
    void clearRefusedWhileAnalysing();
    void exportFile_data();
    void exportFile();
    void exportWithoutFile_data();
    void exportWithoutFile();
};

// clang-format off
void TestMaintenance::clear_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QSet<int>>("selected");
    QTest::addColumn<std::optional<QString>>("typed");     // answer of the input box
    QTest::addColumn<bool>("confirm");                     // answer to "清空全部"
    QTest::addColumn<ClearOutcome>("outcome");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("asked");                // prompts shown, in order

    const std::optional<QString> none;
    const QStringList inputBox = {"请输入指定字符："};
    const QStringList confirmBox = {"您确定要清空辛辛苦苦搜索的列表数据吗？"};
    const QStringList allFour = {"Using pdf tools", "Portable documents", "PDF/A archives", "Rotor wake"};

    QTest::newRow("selected rows removed, first and third")
        << Command::Selected << kFourRows << QSet<int>{0, 2} << none << true << ClearOutcome::Cleared
        << QStringList{"Portable documents", "Rotor wake"} << QStringList();
    QTest::newRow("selected: adjacent rows, including the last")
        << Command::Selected << kFourRows << QSet<int>{2, 3} << none << true << ClearOutcome::Cleared
        << QStringList{"Using pdf tools", "Portable documents"} << QStringList();
    QTest::newRow("nothing selected removes nothing, counter still refreshed")
        << Command::Selected << kFourRows << QSet<int>{} << none << true << ClearOutcome::Cleared << allFour
        << QStringList();
    QTest::newRow("selected on an empty list stops")
        << Command::Selected << QList<Row>{} << QSet<int>{0} << none << true << ClearOutcome::Stopped
        << QStringList() << QStringList();
    QTest::newRow("done rows removed, failed and empty kept")
        << Command::Done << kFourRows << QSet<int>{} << none << true << ClearOutcome::Cleared
        << QStringList{"Portable documents", "PDF/A archives"} << QStringList();
    QTest::newRow("title containing, letter case ignored")
        << Command::Containing << kFourRows << QSet<int>{} << std::optional<QString>("PDF") << true
        << ClearOutcome::Cleared << QStringList{"Portable documents", "Rotor wake"} << inputBox;
    QTest::newRow("title containing, only the title is looked at (links hold 'doi')")
        << Command::Containing << kFourRows << QSet<int>{} << std::optional<QString>("doi") << true
        << ClearOutcome::Cleared << allFour << inputBox;
    QTest::newRow("title not containing, letter case ignored")
        << Command::NotContaining << kFourRows << QSet<int>{} << std::optional<QString>("pdf") << true
        << ClearOutcome::Cleared << QStringList{"Using pdf tools", "PDF/A archives"} << inputBox;
    QTest::newRow("title not containing a text no title has removes every row")
        << Command::NotContaining << kFourRows << QSet<int>{} << std::optional<QString>("zzz") << true
        << ClearOutcome::Cleared << QStringList() << inputBox;
    QTest::newRow("title text cancelled")
        << Command::Containing << kFourRows << QSet<int>{} << none << true << ClearOutcome::Stopped << allFour
        << inputBox;
    QTest::newRow("title text empty")
        << Command::NotContaining << kFourRows << QSet<int>{} << std::optional<QString>("") << true
        << ClearOutcome::Stopped << allFour << inputBox;
    QTest::newRow("title text on an empty list: asked, then stops")
        << Command::Containing << QList<Row>{} << QSet<int>{} << std::optional<QString>("pdf") << true
        << ClearOutcome::Stopped << QStringList() << inputBox;
    QTest::newRow("clear all confirmed")
        << Command::All << kFourRows << QSet<int>{} << none << true << ClearOutcome::Cleared << QStringList()
        << confirmBox;
    QTest::newRow("clear all answered No")
        << Command::All << kFourRows << QSet<int>{} << none << false << ClearOutcome::Stopped << allFour
        << confirmBox;
}
// clang-format on

void TestMaintenance::clear()
{
    QFETCH(Command, command);
    QFETCH(QList<Row>, rows);
    QFETCH(QSet<int>, selected);
    QFETCH(std::optional<QString>, typed);
    QFETCH(bool, confirm);
    QFETCH(ClearOutcome, outcome);
    QFETCH(QStringList, left);
    QFETCH(QStringList, asked);

    HarvestList list;
    fill(list, rows);
    PromptRecorder prompts;
    prompts.inputs.enqueue(typed);
    prompts.answers.enqueue(confirm ? PromptAnswer::Yes : PromptAnswer::No);
    HarvestMaintenance maintenance(list, prompts, [] { return true; });

    QCOMPARE(run(maintenance, command, selected), outcome);
    QCOMPARE(titles(list), left);

    QStringList shown;
    for (const PromptRecorder::Record &record : prompts.records)
        shown.append(record.text);
    QCOMPARE(shown, asked);
    for (const PromptRecorder::Record &record : prompts.records) {
        if (record.kind == PromptRecorder::Kind::Message) {
            QCOMPARE(record.icon, PromptIcon::Question);
            QCOMPARE(record.buttons, PromptButtons::YesNo);
        }
    }
    // The key index follows the removals: every link left is found at its row.
    for (int row = 0; row < list.count(); ++row)
        QCOMPARE(list.rowOfLink(list.at(row).Link), row);
}

// clang-format off
void TestMaintenance::clearRefusedWhileAnalysing_data()
{
    QTest::addColumn<Command>("command");
    QTest::newRow("clear selected") << Command::Selected;
    QTest::newRow("clear done") << Command::Done;
    QTest::newRow("clear titles containing") << Command::Containing;
    QTest::newRow("clear titles not containing") << Command::NotContaining;
    QTest::newRow("clear all") << Command::All;
}
// clang-format on

void TestMaintenance::clearRefusedWhileAnalysing()
{
    QFETCH(Command, command);

    HarvestList list;
    fill(list, kFourRows);
    PromptRecorder prompts;
    prompts.inputs.enqueue(QStringLiteral("pdf"));
    HarvestMaintenance maintenance(list, prompts, [] { return false; });

    QCOMPARE(run(maintenance, command, {0, 1, 2, 3}), ClearOutcome::Refused);
    QCOMPARE(list.count(), 4);
    QCOMPARE(prompts.records.size(), 1); // no input box, no confirmation
    QCOMPARE(prompts.records.first().kind, PromptRecorder::Kind::Message);
    QCOMPARE(prompts.records.first().text, QString("正在分析，不能清除！"));
    QCOMPARE(prompts.records.first().icon, PromptIcon::Error);
}

// clang-format off
void TestMaintenance::exportFile_data()
{
    QTest::addColumn<QString>("typed");   // the name given in the save dialog
    QTest::addColumn<bool>("existing");   // harvest.txt exists before
    QTest::addColumn<QString>("answer");  // to the question about replacing it; "" when none is asked
    QTest::addColumn<bool>("written");

    QTest::newRow("typed with extension: replaced, the save dialog asked already")
        << "harvest.txt" << true << "" << true;
    QTest::newRow("typed without extension, no file of that name") << "harvest" << false << "" << true;
    QTest::newRow("typed without extension, the .txt file exists, replace: yes")
        << "harvest" << true << "yes" << true;
    QTest::newRow("typed without extension, the .txt file exists, replace: no")
        << "harvest" << true << "no" << false;
}
// clang-format on

void TestMaintenance::exportFile()
{
    QFETCH(QString, typed);
    QFETCH(bool, existing);
    QFETCH(QString, answer);
    QFETCH(bool, written);

    QTemporaryDir dir;
    HarvestList list;
    fill(list, {{"Using pdf tools", "成功"}, {"Rotor wake", ""}});
    PromptRecorder prompts;
    HarvestMaintenance maintenance(list, prompts, [] { return false; }); // exporting is allowed during a pass

    const QString path = dir.filePath(QStringLiteral("harvest.txt"));
    const QByteArray old(5000, 'x');
    if (existing) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    prompts.paths.enqueue(dir.filePath(typed));
    if (answer == QLatin1String("no"))
        prompts.answers.enqueue(PromptAnswer::No);

    maintenance.exportList();

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        EncodeToCodePage(QStringLiteral("Using pdf tools-【pdf】成功\r\nRotor wake-【pdf】\r\n"));
    QCOMPARE(file.readAll(), written ? expected : old);

    QList<PromptRecorder::Record> records = prompts.records;
    QVERIFY(!records.isEmpty());
    QCOMPARE(records.takeFirst().kind, PromptRecorder::Kind::SaveFile);
    if (!answer.isEmpty()) {
        const PromptRecorder::Record question = records.takeFirst();
        QCOMPARE(question.text, QString("文件已存在，要替换它吗？\n") + QDir::toNativeSeparators(path));
        QCOMPARE(question.buttons, PromptButtons::YesNo);
    }
    if (written) {
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().text, ExportSizeMessage(expected.size()));
        QCOMPARE(records.first().icon, PromptIcon::Information);
    } else {
        QVERIFY(records.isEmpty());
    }
}

// clang-format off
void TestMaintenance::exportWithoutFile_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("answer"); // relative to a temporary folder; "-" cancels
    QTest::addColumn<int>("dialogs");

    QTest::newRow("empty list shows no dialog at all") << 0 << "out.txt" << 0;
    QTest::newRow("dialog cancelled writes nothing") << 2 << "-" << 1;
    QTest::newRow("folder that does not exist: no message") << 2 << "missing/out.txt" << 1;
}
// clang-format on

void TestMaintenance::exportWithoutFile()
{
    QFETCH(int, rows);
    QFETCH(QString, answer);
    QFETCH(int, dialogs);

    QTemporaryDir dir;
    HarvestList list;
    for (int n = 0; n < rows; ++n)
        fill(list, {{QStringLiteral("Title %1").arg(n), ""}});
    PromptRecorder prompts;
    if (answer != QLatin1String("-"))
        prompts.paths.enqueue(dir.filePath(answer));
    HarvestMaintenance maintenance(list, prompts, [] { return true; });

    maintenance.exportList();

    QCOMPARE(prompts.records.size(), dialogs);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_GUILESS_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
