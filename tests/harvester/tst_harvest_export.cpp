// The harvest list's export file and the message after saving it.
#include "harvester/HarvestExport.h"
#include "harvester/HarvestList.h"
#include "harvester/HarvesterTexts.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"
#include "platform/CodePage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Row
{
    QString title;
    QString status;
};

void fill(HarvestList &list, const QList<Row> &rows)
{
    int n = 0;
    for (const Row &row : rows) {
        list.addEntry(row.title, QStringLiteral("http://site.example/doi/pdf/%1").arg(++n),
                      QStringLiteral("http://site.example/results"), HarvesterText::kFileTypePdf, QString(),
                      HarvesterText::kLinkKindJs);
        list.setStatus(list.count() - 1, row.status);
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

Q_DECLARE_METATYPE(QList<Row>)

class TestHarvestExport : public QObject
{
    Q_OBJECT

private slots:
    void exportBytes_data();
    void exportBytes();
    void writeFile();
    void titleBrokenOverLines();
    void sizeMessage_data();
    void sizeMessage();
};

// clang-format off
void TestHarvestExport::exportBytes_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty list") << QList<Row>{} << QString();
    QTest::newRow("handed over and not yet")
        << QList<Row>{{QStringLiteral("Wing Loads"), HarvesterText::kStatusDone},
                      {QStringLiteral("Jet Noise"), QString()}}
        << QStringLiteral("Wing Loads-【pdf】成功\r\nJet Noise-【pdf】\r\n");
    QTest::newRow("line breaks inside titles: one blank each")
        << QList<Row>{{QStringLiteral("Boundary Layer\nTransition"), QString()},
                      {QStringLiteral("Rotor\r\nWakes"), QString()},
                      {QStringLiteral("Jet\rNoise"), QString()},
                      {QStringLiteral("Two\n\nBreaks"), QString()}}
        << QStringLiteral("Boundary Layer Transition-【pdf】\r\nRotor Wakes-【pdf】\r\nJet Noise-【pdf】\r\n"
                          "Two  Breaks-【pdf】\r\n");
    QTest::newRow("failed, Chinese title")
        << QList<Row>{{QStringLiteral("气动载荷"), HarvesterText::kStatusFailed}}
        << QStringLiteral("气动载荷-【pdf】分析失败\r\n");
}
// clang-format on

void TestHarvestExport::exportBytes()
{
    QFETCH(QList<Row>, rows);
    QFETCH(QString, text);

    HarvestList list;
    fill(list, rows);
    QCOMPARE(HarvestExportBytes(list), EncodeToCodePage(text));
}

void TestHarvestExport::writeFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    HarvestList list;
    fill(list, {{QStringLiteral("Wing Loads"), HarvesterText::kStatusDone}});
    const QByteArray expected = EncodeToCodePage(QStringLiteral("Wing Loads-【pdf】成功\r\n"));

    // A longer file in the way is replaced whole.
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(4096, 'x')) == 4096);
    old.close();
    QVERIFY(WriteHarvestExport(list, path));
    QCOMPARE(readFile(path), expected);

    // A folder that does not exist: nothing is written.
    const QString nowhere = dir.filePath(QStringLiteral("missing/list.txt"));
    QVERIFY(!WriteHarvestExport(list, nowhere));
    QVERIFY(!QFile::exists(nowhere));
}

// The first result page of the test site has a title broken by <br>; read
// from its markup and exported, each entry is exactly one line.
void TestHarvestExport::titleBrokenOverLines()
{
    QFile page(QStringLiteral(PAPERDRIFT_PAGES_DIR "/results-1.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    HarvestList list;
    const int rows = ExtractPageEntries(ReadHtmlPage(page.readAll(), QUrl("http://127.0.0.1/results?page=1")),
                                        QString(), false, false, list);
    QVERIFY(rows >= 2);
    bool titleHasBreak = false;
    for (int row = 0; row < list.count(); ++row)
        titleHasBreak = titleHasBreak || list.at(row).Title.contains(QLatin1Char('\n'));
    QVERIFY(titleHasBreak); // else the page no longer shows the fault

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    QVERIFY(WriteHarvestExport(list, path));
    const QString text = DecodeFromCodePage(readFile(path));
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), list.count());
    for (int row = 0; row < list.count(); ++row) {
        QVERIFY2(!lines.at(row).contains(QLatin1Char('\n')) && !lines.at(row).contains(QLatin1Char('\r')),
                 qPrintable(lines.at(row)));
        QVERIFY(lines.at(row).endsWith(QStringLiteral("-【pdf】")));
    }
}

// clang-format off
void TestHarvestExport::sizeMessage_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty file") << qint64(0) << QStringLiteral("保存文件完毕：0.0KB");
    QTest::newRow("a quarter kilobyte rounds up") << qint64(256) << QStringLiteral("保存文件完毕：0.3KB");
    QTest::newRow("just under a tenth") << qint64(51) << QStringLiteral("保存文件完毕：0.0KB");
    QTest::newRow("1536 bytes") << qint64(1536) << QStringLiteral("保存文件完毕：1.5KB");
    QTest::newRow("rounding into the next thousand") << qint64(1023990) << QStringLiteral("保存文件完毕：1,000.0KB");
    QTest::newRow("2,097,152 bytes") << qint64(2097152) << QStringLiteral("保存文件完毕：2,048.0KB");
    QTest::newRow("millions of kilobytes") << qint64(1264197427) << QStringLiteral("保存文件完毕：1,234,567.8KB");
}
// clang-format on

void TestHarvestExport::sizeMessage()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, message);
    QCOMPARE(ExportSizeMessage(bytes), message);
}

QTEST_GUILESS_MAIN(TestHarvestExport)
#include "tst_harvest_export.moc"
