#include "platform/CodePage.h"
#include "tests/support/FileHelpers.h"
#include "tests/cli/CliRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

QByteArray readFileOrMark(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QString kSite = QStringLiteral("http://site.example/results");

// Output lines of the fixture site's entries read at kSite.
const QString kLoads = "Aerodynamic Loads on Slender Wings\thttp://site.example/doi/pdf/10.2514/6.2016-1234\t" + kSite;
const QString kTransition = "Boundary Layer Transition\\nin Hypersonic Flow\t"
                            "http://site.example/doi/pdfplus/10.2514/1.J055000?download=true&role=reader\t"
                            + kSite;
const QString kFlutter = "Wing Flutter Suppression\thttp://site.example/doi/pdf/10.2514/1.C034000\t" + kSite;
const QString kThermal =
    "Thermal Protection of Re-entry Vehicles\thttp://site.example/doi/pdf/10.2514/1.A33000?a=1&b=2\t" + kSite;
const QString kLoadsAgain = "Aerodynamic Loads on Slender Wings (repeated)\t"
                            "http://site.example/doi/pdf/10.2514/6.2016-1234\t"
                            + kSite;
const QString kCombustion =
    "Combustion Instability in Rocket Engines\thttp://site.example/doi/pdf/10.2514/1.B36000\t" + kSite;
const QString kGuidance = "Guidance of Small Satellites\thttp://site.example/doi/pdf/10.2514/1.G0003\t" + kSite;
const QString kKinetic = "Kinetic Heating of Nose Cones\thttp://site.example/doi/pdf/10.2514/1.K0006\t" + kSite;

} // namespace

class TestCliExtract : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void extract_data();
    void extract();
    void fileAddress();
    void exportFile_data();
    void exportFile();
    void usage_data();
    void usage();

private:
    QTemporaryDir m_dir;
};

void TestCliExtract::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (int page = 1; page <= 3; ++page) {
        const QString name = QStringLiteral("results-%1.html").arg(page);
        QVERIFY(QFile::copy(QStringLiteral(PAPERDRIFT_PAGES_DIR "/") + name, m_dir.filePath(name)));
    }
    QVERIFY(writeFile(m_dir.filePath("empty.html"), "<html><body><table><tr><td>no entries</td></tr></table>"));
    QVERIFY(writeFile(m_dir.filePath("closed.html"), readFileOrMark(m_dir.filePath("results-1.html"))));
    QVERIFY(QFile::setPermissions(m_dir.filePath("closed.html"), QFileDevice::WriteOwner));
    QVERIFY(QDir(m_dir.path()).mkdir("locked"));
    QVERIFY(QFile::setPermissions(m_dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
}

// clang-format off
void TestCliExtract::extract_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("errors");

    const QStringList pages{"results-1.html", "results-2.html", "results-3.html"};

    QTest::newRow("three pages in list order")
        << QStringList{"extract", "--url", kSite} + pages << 0
        << QStringList{kLoads, kTransition, kFlutter, kThermal, kCombustion, kGuidance, kKinetic} << QStringList();
    QTest::newRow("ticked only")
        << QStringList{"extract", "--ticked-only", "--url", kSite} + pages << 0
        << QStringList{kTransition, kThermal, kLoadsAgain, kGuidance} << QStringList();
    QTest::newRow("free only")
        << QStringList{"extract", "--free-only", "--url", kSite} + pages << 0
        << QStringList{kLoads, kFlutter, kGuidance, kKinetic} << QStringList();
    QTest::newRow("both filters, options after the files")
        << QStringList{"extract"} + pages + QStringList{"--free-only", "--url", kSite, "--ticked-only"} << 0
        << QStringList{kGuidance} << QStringList();
    QTest::newRow("the same page twice")
        << QStringList{"extract", "--url", kSite, "results-2.html", "results-2.html"} << 0
        << QStringList{kLoadsAgain, kCombustion, kGuidance} << QStringList();
    QTest::newRow("a page without entries") << QStringList{"extract", "--url", kSite, "empty.html"} << 0
                                            << QStringList() << QStringList();
    QTest::newRow("missing and unreadable pages among others")
        << QStringList{"extract", "--url", kSite, "missing.html", "closed.html", "results-3.html"} << 1
        << QStringList{kKinetic}
        << QStringList{"paperdrift-cli extract: cannot read missing.html",
                       "paperdrift-cli extract: cannot read closed.html"};
    QTest::newRow("a file named like an option after --")
        << QStringList{"extract", "--url", kSite, "--", "--free-only"} << 1 << QStringList()
        << QStringList{"paperdrift-cli extract: cannot read --free-only"};
}
// clang-format on

void TestCliExtract::extract()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, errors);

    const CliRun run = RunCli(arguments, m_dir.path());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.lines, lines);
    QStringList errorLines = run.errors.split(QLatin1Char('\n'));
    errorLines.removeAll(QString());
    QCOMPARE(errorLines, errors);
}

// Without --url a page's address is its file's, and its links resolve
// against it as they would in a browser showing the saved page.
void TestCliExtract::fileAddress()
{
    const CliRun run = RunCli({"extract", "--free-only", "results-3.html"}, m_dir.path());
    QCOMPARE(run.exitCode, 0);
    const QString page = QUrl::fromLocalFile(m_dir.filePath("results-3.html")).toString(QUrl::FullyEncoded);
    QCOMPARE(run.lines, QStringList{"Kinetic Heating of Nose Cones\tfile:///doi/pdf/10.2514/1.K0006\t" + page});
}

// clang-format off
void TestCliExtract::exportFile_data()
{
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QString>("exportPath");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QString>("text"); // the file's text; none when the file must not exist

    QTest::newRow("two pages")
        << QStringList{"results-1.html", "results-3.html"} << "list.txt" << 0 << 5
        << QStringLiteral("Aerodynamic Loads on Slender Wings-【pdf】\r\n"
                          "Boundary Layer Transition in Hypersonic Flow-【pdf】\r\n"
                          "Wing Flutter Suppression-【pdf】\r\n"
                          "Thermal Protection of Re-entry Vehicles-【pdf】\r\n"
                          "Kinetic Heating of Nose Cones-【pdf】\r\n");
    QTest::newRow("no entries: an empty file") << QStringList{"empty.html"} << "none.txt" << 0 << 0 << "";
    QTest::newRow("folder that does not exist") << QStringList{"results-3.html"} << "missing/list.txt" << 1 << 1
                                                << QString();
    QTest::newRow("folder without write permission") << QStringList{"results-3.html"} << "locked/list.txt" << 1
                                                     << 1 << QString();
}
// clang-format on

void TestCliExtract::exportFile()
{
    QFETCH(QStringList, pages);
    QFETCH(QString, exportPath);
    QFETCH(int, exitCode);
    QFETCH(int, lineCount);
    QFETCH(QString, text);

    const CliRun run = RunCli(QStringList{"extract", "--url", kSite, "--export", exportPath} + pages, m_dir.path());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.lines.size(), lineCount);
    const QString path = m_dir.filePath(exportPath);
    if (text.isNull()) {
        QVERIFY(!QFile::exists(path));
        QCOMPARE(run.errors, "paperdrift-cli extract: cannot write " + exportPath + "\n");
    } else {
        QCOMPARE(readFileOrMark(path), EncodeToCodePage(text));
        QCOMPARE(run.errors, QString());
    }
}

// clang-format off
void TestCliExtract::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("errorsStart");

    const QString usage = QStringLiteral("usage: paperdrift-cli extract [--free-only]");
    QTest::newRow("no pages") << QStringList{"extract", "--free-only"} << usage;
    QTest::newRow("unknown option") << QStringList{"extract", "--all", "results-1.html"}
                                    << "paperdrift-cli extract: unknown option \"--all\"\n" + usage;
    QTest::newRow("--url without value") << QStringList{"extract", "results-1.html", "--url"}
                                         << "paperdrift-cli extract: --url needs a value\n" + usage;
    QTest::newRow("--url= without value") << QStringList{"extract", "--url=", "results-1.html"}
                                          << "paperdrift-cli extract: --url needs a value\n" + usage;
    QTest::newRow("--live with a value") << QStringList{"extract", "--live=yes", "http://x.example/"}
                                         << "paperdrift-cli extract: --live takes no value\n" + usage;
    QTest::newRow("--export without value") << QStringList{"extract", "--export", "", "results-1.html"}
                                            << "paperdrift-cli extract: --export needs a value\n" + usage;
    const QString limitRefused =
        "paperdrift-cli extract: --load-limit needs --live and a number of seconds above 0, up to 3600\n" + usage;
    QTest::newRow("--load-limit without --live")
        << QStringList{"extract", "--load-limit", "5", "results-1.html"} << limitRefused;
    QTest::newRow("--load-limit of 0") << QStringList{"extract", "--live", "--load-limit", "0", "http://x.example/"}
                                       << limitRefused;
    QTest::newRow("--url with --live")
        << QStringList{"extract", "--live", "--url", "http://x.example/", "http://x.example/"}
        << "paperdrift-cli extract: --url names the address of saved pages; with --live each page has its own\n"
               + usage;
}
// clang-format on

void TestCliExtract::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorsStart);

    const CliRun run = RunCli(arguments, m_dir.path());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.lines.isEmpty());
    QVERIFY2(run.errors.startsWith(errorsStart), qPrintable(run.errors));
}

QTEST_GUILESS_MAIN(TestCliExtract)
#include "tst_cli_extract.moc"
