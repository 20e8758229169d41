#include "tests/cli/CliRun.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// paperdrift-cli download runs against the test site of this process: the
// test keeps its event loop turning while the program runs.
namespace {

constexpr int kRunTimeoutMs = 60000;

// The folder's absolute path with a trailing separator, as the program
// writes it into the PATH column.
QString folderPrefix(const QString &folder)
{
    return QDir::toNativeSeparators(QDir(folder).canonicalPath()) + QDir::separator();
}

// A run the test watches while it goes on: its standard error can be read
// so far, and it is killed when the test ends before it does.
class LiveRun
{
public:
    LiveRun(const QStringList &arguments, const QString &folder) : m_finished(&process, &QProcess::finished)
    {
        PrepareCli(process, arguments, folder);
        process.setReadChannel(QProcess::StandardError); // peeked at; read whole at the end
        process.start();
    }
    ~LiveRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    QString errorsSoFar() { return QString::fromUtf8(process.peek(1 << 20)); }
    bool waitForEnd() { return m_finished.wait(kRunTimeoutMs); }

    QProcess process;

private:
    QSignalSpy m_finished;
};

} // namespace

class TestCliDownload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void outcomes_data();
    void outcomes();
    void listFile();
    void addressesThenLists();
    void failedRowTwice_data();
    void failedRowTwice();
    void folderArgument_data();
    void folderArgument();
    void proxy();
    void retry_data();
    void retry();
    void errorStop();
    void stopRequest_data();
    void stopRequest();
    void badArguments_data();
    void badArguments();

private:
    // "SITE" in a text becomes the test site's base address, "DIR/" the
    // run's folder with its separator.
    QString expand(QString text, const QString &folder) const;
    QStringList expand(QStringList texts, const QString &folder) const;
    CliRun runServed(const QStringList &arguments, const QString &folder);

    FixtureSite m_site;
    QTemporaryDir m_dir; // one fresh folder per test function and row below it
    int m_runs = 0;
    bool m_firstTry = true; // /second-try.pdf answers with its first answer while this is set
    QString m_runFolder;
};

void TestCliDownload::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_site.start());
    // A document whose link ends in a file name, with dots inside the name.
    m_site.addRoute("/docs/paper.final.pdf", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers = {{"Content-Type", "application/pdf"}};
        response.body = FixtureSite::pdfBody(1200);
        return response;
    });
    // Answers a login page or an empty error while the first try lasts, then
    // the document.
    m_site.addRoute("/second-try.pdf", [this](const FixtureSite::Request &request) {
        FixtureSite::Response response;
        if (m_firstTry && request.query.queryItemValue("first") == QLatin1String("error")) {
            response.status = 500;
        } else if (m_firstTry) {
            response.headers = {{"Content-Type", "text/html"}};
            response.body = FixtureSite::loginPage();
        } else {
            response.headers = {{"Content-Type", "application/pdf"}};
            response.body = FixtureSite::pdfBody(1300);
        }
        return response;
    });
    // A reply whose content type is no extension at all.
    m_site.addRoute("/dot-type", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers = {{"Content-Type", "."}};
        response.body = FixtureSite::pdfBody(900);
        return response;
    });
    // A document whose name ends in the largest counter there is.
    m_site.addRoute("/bound/A[9223372036854775807].pdf", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers = {{"Content-Type", "application/pdf"}};
        response.body = FixtureSite::pdfBody(700);
        return response;
    });
    // A body no type is recognised from.
    m_site.addRoute("/notes", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers = {{"Content-Type", "text/plain"}};
        response.body = "plain notes\n";
        return response;
    });
}

void TestCliDownload::init()
{
    m_runFolder = m_dir.filePath(QString::number(++m_runs));
    QVERIFY(QDir().mkpath(m_runFolder));
    m_site.clearRequests();
}

QString TestCliDownload::expand(QString text, const QString &folder) const
{
    text.replace(QLatin1String("DIR/"), folderPrefix(folder));
    text.replace(QLatin1String("SITE"), QString::fromLatin1(m_site.base()));
    return text;
}

QStringList TestCliDownload::expand(QStringList texts, const QString &folder) const
{
    for (QString &text : texts)
        text = expand(text, folder);
    return texts;
}

CliRun TestCliDownload::runServed(const QStringList &arguments, const QString &folder)
{
    LiveRun run(expand(arguments, folder), folder);
    return run.waitForEnd() ? CollectCliRun(run.process) : CliRun();
}

// clang-format off
void TestCliDownload::outcomes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("existing"); // files in the folder before the run, each holding "old"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("requested"); // whether the site saw any request

    QTest::newRow("pdfs by parallel transfers, one address given twice")
        << QStringList{"download", "--threads", "3", "--interval", "0", "SITE/pdf?size=5000",
                       "SITE/pdf-close?size=3000", "SITE/pdf?size=5000", "SITE/pdf-chunked?size=4000"}
        << QStringList{} << 0
        << QStringList{"已完成\t100%\t5000\tDIR/pdf.pdf\tSITE/pdf?size=5000",
                       "已完成\t100%\t3000\tDIR/pdf-close.pdf\tSITE/pdf-close?size=3000",
                       "已完成\t100%\t4000\tDIR/pdf-chunked.pdf\tSITE/pdf-chunked?size=4000"}
        << true;
    QTest::newRow("pdfs by the single connection")
        << QStringList{"download", "--method", "1", "SITE/pdf?size=5000", "SITE/pdf-close?size=3000"}
        << QStringList{} << 0
        << QStringList{"已完成\t100%\t5000\tDIR/pdf.pdf\tSITE/pdf?size=5000",
                       "已完成\t100%\t3000\tDIR/pdf-close.pdf\tSITE/pdf-close?size=3000"}
        << true;
    QTest::newRow("a login page instead of a pdf")
        << QStringList{"download", "SITE/pdf?size=1000", "SITE/protected.pdf"} << QStringList{} << 1
        << QStringList{"已完成\t100%\t1000\tDIR/pdf.pdf\tSITE/pdf?size=1000",
                       "已完成\t100%\t185\tDIR/protected.htm\tSITE/protected.pdf"}
        << true;
    QTest::newRow("a page not found is stored as a page")
        << QStringList{"download", "--method", "1", "SITE/missing/report.pdf"} << QStringList{} << 1
        << QStringList{"已完成\t100%\t66\tDIR/report.htm\tSITE/missing/report.pdf"} << true;
    QTest::newRow("an empty error response fails")
        << QStringList{"download", "SITE/pdf?size=800", "SITE/status?code=500"} << QStringList{} << 1
        << QStringList{"已完成\t100%\t800\tDIR/pdf.pdf\tSITE/pdf?size=800",
                       "失败\t\t\tDIR/status.pdf\tSITE/status?code=500"}
        << true;
    QTest::newRow("existing files skipped without a request")
        << QStringList{"download", "--same-name", "skip", "SITE/pdf?size=100", "SITE/pdf?size=200"}
        << QStringList{"pdf.pdf"} << 0
        << QStringList{"已完成\t已存在，跳过\t3\tDIR/pdf.pdf\tSITE/pdf?size=100",
                       "已完成\t已存在，跳过\t3\tDIR/pdf.pdf\tSITE/pdf?size=200"}
        << false;
    QTest::newRow("the rule in its own words")
        << QStringList{"download", "--same-name", "跳过", "--method", "1", "SITE/pdf?size=100"}
        << QStringList{"pdf.pdf"} << 0
        << QStringList{"已完成\t已存在，跳过\t3\tDIR/pdf.pdf\tSITE/pdf?size=100"} << false;
    QTest::newRow("rename keeps the older file")
        << QStringList{"download", "--same-name", "rename", "SITE/pdf?size=100"} << QStringList{"pdf.pdf"}
        << 0 << QStringList{"已完成\t100%\t100\tDIR/pdf[001].pdf\tSITE/pdf?size=100"} << true;
    QTest::newRow("overwrite replaces it")
        << QStringList{"download", "--same-name", "覆盖", "SITE/pdf?size=100"} << QStringList{"pdf.pdf"}
        << 0 << QStringList{"已完成\t100%\t100\tDIR/pdf.pdf\tSITE/pdf?size=100"} << true;
    QTest::newRow("above the size limit")
        << QStringList{"download", "--max-mb", "1", "SITE/pdf?size=2097152", "SITE/pdf?size=1000"} << QStringList{}
        << 0
        << QStringList{"已完成\t大文件，跳过\t2097152\tDIR/pdf.pdf\tSITE/pdf?size=2097152",
                       "已完成\t100%\t1000\tDIR/pdf[001].pdf\tSITE/pdf?size=1000"}
        << true;
    QTest::newRow("a reply type that is no extension keeps the item's type")
        << QStringList{"download", "--method", "1", "SITE/dot-type"} << QStringList{} << 0
        << QStringList{"已完成\t100%\t900\tDIR/dot-type.pdf\tSITE/dot-type"} << true;
    QTest::newRow("the counter at its bound, renamed")
        << QStringList{"download", "--same-name", "rename", "SITE/bound/A[9223372036854775807].pdf"}
        << QStringList{"A[9223372036854775807].pdf"} << 0
        << QStringList{"已完成\t100%\t700\tDIR/A『9223372036854775807』.pdf\tSITE/bound/A[9223372036854775807].pdf"}
        << true;
    QTest::newRow("the type given is kept for an unknown body")
        << QStringList{"download", "--type", "caj", "SITE/notes"} << QStringList{} << 0
        << QStringList{"已完成\t100%\t12\tDIR/notes.caj\tSITE/notes"} << true;
    QTest::newRow("no type: no extension")
        << QStringList{"download", "--type=", "SITE/notes"} << QStringList{} << 0
        << QStringList{"已完成\t100%\t12\tDIR/notes\tSITE/notes"} << true;
}
// clang-format on

void TestCliDownload::outcomes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, existing);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QFETCH(bool, requested);

    for (const QString &name : existing)
        QVERIFY(writeFile(QDir(m_runFolder).filePath(name), "old"));

    const CliRun run = runServed(arguments, m_runFolder);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.lines, expand(lines, m_runFolder));
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(!m_site.requests().isEmpty(), requested);

    // What the lines call complete is on disk, whole; an older file that no
    // complete line names is untouched.
    QStringList stored;
    for (const QString &line : run.lines) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields[1] != QLatin1String("100%"))
            continue;
        stored << QFileInfo(fields[3]).fileName();
        if (fields[3].endsWith(QLatin1String(".pdf")))
            QCOMPARE(readFile(fields[3]), FixtureSite::pdfBody(fields[2].toLongLong()));
    }
    for (const QString &name : existing) {
        if (!stored.contains(name))
            QCOMPARE(readFile(QDir(m_runFolder).filePath(name)), QByteArray("old"));
    }
}

// clang-format off
void TestCliDownload::failedRowTwice_data()
{
    QTest::addColumn<QString>("method");
    QTest::newRow("single connection") << "1";
    QTest::newRow("parallel workers") << "2";
}
// clang-format on

// A row that failed is failed again on a second run under "跳过": its bytes
// wait in a .part file, never under the document's name, so the second run
// fetches again instead of taking the fragment for a finished document; an
// existing file of another row is never changed by "跳过".
void TestCliDownload::failedRowTwice()
{
    QFETCH(QString, method);
    QVERIFY(writeFile(QDir(m_runFolder).filePath("pdf.pdf"), "old"));
    const QStringList arguments{
        "download", "--method", method, "--same-name", "skip", "SITE/short?size=3000&send=1000", "SITE/pdf?size=300"};
    const QString failed = "失败\t33%\t3000\tDIR/short.pdf\tSITE/short?size=3000&send=1000";
    for (int runNumber = 1; runNumber <= 2; ++runNumber) {
        const CliRun run = runServed(arguments, m_runFolder);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.lines.value(0), expand(failed, m_runFolder));
        QCOMPARE(m_site.requestsTo("/short").size(), runNumber);
        QVERIFY(!QFile::exists(QDir(m_runFolder).filePath("short.pdf")));
        QCOMPARE(QFileInfo(QDir(m_runFolder).filePath("short.pdf.part")).size(), qint64(1000));
        QCOMPARE(readFile(QDir(m_runFolder).filePath("pdf.pdf")), QByteArray("old"));
    }
}

void TestCliDownload::listFile()
{
    // Comments, blank lines, a line ended by CR LF, names given and taken
    // from the link, a referring page, and a name that tries to leave the
    // folder.
    const QString list = expand(QStringLiteral("# papers for the review\n"
                                               "\n"
                                               "SITE/docs/paper.final.pdf\n"
                                               "   \t  \n"
                                               "SITE/pdf?size=1500\tWing loads: part 1\tSITE/results?page=2\r\n"
                                               "  # an indented comment\n"
                                               "SITE/pdf?size=1600\t\tSITE/results?page=3\n"
                                               "SITE/pdf?size=1700\t../../escaped\n"),
                                m_runFolder);
    QVERIFY(writeFile(QDir(m_runFolder).filePath("papers.txt"), list.toUtf8()));

    const CliRun run = runServed({"download", "--method", "1", "--list", "papers.txt"}, m_runFolder);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, expand(QStringList{"已完成\t100%\t1200\tDIR/paper.final.pdf\tSITE/docs/paper.final.pdf",
                                           "已完成\t100%\t1500\tDIR/Wing loads part 1.pdf\tSITE/pdf?size=1500",
                                           "已完成\t100%\t1600\tDIR/pdf.pdf\tSITE/pdf?size=1600",
                                           "已完成\t100%\t1700\tDIR/escaped.pdf\tSITE/pdf?size=1700"},
                               m_runFolder));
    QVERIFY(QFileInfo::exists(QDir(m_runFolder).filePath("escaped.pdf")));

    // The single connection sends the referring page of the third field,
    // blank or not.
    const QList<FixtureSite::Request> requests = m_site.requestsTo("/pdf");
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests[0].header("Referer"), m_site.base() + "/results?page=2");
    QCOMPARE(requests[1].header("Referer"), m_site.base() + "/results?page=3");
    QCOMPARE(requests[2].header("Referer"), m_site.base()); // no page given: the site itself
}

// The addresses given as arguments come first, then the rows of each list
// file in the order the files are named; an address listed twice keeps its
// first place.
void TestCliDownload::addressesThenLists()
{
    QVERIFY(writeFile(QDir(m_runFolder).filePath("one.txt"),
                      expand("SITE/pdf?size=1100\nSITE/pdf?size=1000\n", m_runFolder).toUtf8()));
    QVERIFY(writeFile(QDir(m_runFolder).filePath("two.txt"), expand("SITE/pdf?size=1200\n", m_runFolder).toUtf8()));

    const CliRun run = runServed({"download", "--method", "1", "--list", "one.txt", "SITE/pdf?size=1000",
                                  "--list=two.txt", "SITE/docs/paper.final.pdf"},
                                 m_runFolder);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, expand(QStringList{"已完成\t100%\t1000\tDIR/pdf.pdf\tSITE/pdf?size=1000",
                                           "已完成\t100%\t1200\tDIR/paper.final.pdf\tSITE/docs/paper.final.pdf",
                                           "已完成\t100%\t1100\tDIR/pdf[001].pdf\tSITE/pdf?size=1100",
                                           "已完成\t100%\t1200\tDIR/pdf[002].pdf\tSITE/pdf?size=1200"},
                               m_runFolder));
}

// clang-format off
void TestCliDownload::folderArgument_data()
{
    QTest::addColumn<QStringList>("dirArguments");
    QTest::addColumn<QString>("storedIn"); // below the run's folder

    QTest::newRow("the current folder by default") << QStringList{} << "";
    QTest::newRow("a relative folder, made") << QStringList{"--dir", "out/papers"} << "out/papers";
    QTest::newRow("a relative folder with a separator") << QStringList{"--dir=out/"} << "out";
    QTest::newRow("an absolute folder") << QStringList{"--dir", "DIR/abs"} << "abs";
}
// clang-format on

void TestCliDownload::folderArgument()
{
    QFETCH(QStringList, dirArguments);
    QFETCH(QString, storedIn);

    const QString folder = QDir(m_runFolder).filePath(storedIn);
    // The folder must exist for canonicalPath(); the program finds it there.
    QVERIFY(QDir().mkpath(folder));
    const CliRun run =
        runServed(QStringList{"download"} + dirArguments + QStringList{"SITE/pdf?size=700"}, m_runFolder);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, QStringList{expand("已完成\t100%\t700\tDIR/pdf.pdf\tSITE/pdf?size=700", folder)});
    QCOMPARE(readFile(QDir(folder).filePath("pdf.pdf")), FixtureSite::pdfBody(700));
}

void TestCliDownload::proxy()
{
    FixtureProxy proxy;
    QVERIFY(proxy.start());
    const CliRun run = runServed(
        {"download", "--method", "1", "--proxy", QStringLiteral("127.0.0.1:%1").arg(proxy.port()), "SITE/pdf?size=600"},
        m_runFolder);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(proxy.requestLines().size(), 1);
    QVERIFY2(proxy.requestLines()[0].startsWith("GET " + m_site.base() + "/pdf?size=600 "),
             proxy.requestLines()[0].constData());
}

// clang-format off
void TestCliDownload::retry_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("firstEnd"); // the progress line of the first try

    QTest::newRow("web pages again") << "pages" << 2 << "page" << "已完成 100% ";
    QTest::newRow("failed items again") << "failed" << 1 << "error" << "失败 ";
    QTest::newRow("both, a failed item") << "both" << 2 << "error" << "失败 ";
}
// clang-format on

void TestCliDownload::retry()
{
    QFETCH(QString, choice);
    QFETCH(int, method);
    QFETCH(QString, first);
    QFETCH(QString, firstEnd);

    // The list ends after the first try; the automatic re-download resets
    // the item and fetches it again, and only then does the run end.
    m_firstTry = true;
    LiveRun live(expand(QStringList{"download", "--method", QString::number(method), "--retry", choice,
                                    "SITE/second-try.pdf?first=" + first},
                        m_runFolder),
                 m_runFolder);
    QTRY_VERIFY_WITH_TIMEOUT(live.errorsSoFar().contains(firstEnd), 10000);
    m_firstTry = false;
    QVERIFY(live.waitForEnd());

    const CliRun run = CollectCliRun(live.process);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(
        run.lines,
        expand(QStringList{"已完成\t100%\t1300\tDIR/second-try.pdf\tSITE/second-try.pdf?first=" + first}, m_runFolder));
    QCOMPARE(readFile(QDir(m_runFolder).filePath("second-try.pdf")), FixtureSite::pdfBody(1300));
}

void TestCliDownload::errorStop()
{
    // Five workers bring back five login pages in one tick; the error rule
    // switches downloading off at the next second, while the interval still
    // holds the sixth row back, and the run ends with that row waiting.
    QStringList arguments{"download", "--threads", "5", "--interval", "2", "--stop-after-errors"};
    for (int i = 1; i <= 6; ++i)
        arguments << QStringLiteral("SITE/protected.pdf?n=%1").arg(i);
    const CliRun run = runServed(arguments, m_runFolder);

    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.lines.size(), 6);
    int pages = 0;
    int waiting = 0;
    for (const QString &line : run.lines) {
        pages += line.startsWith(QStringLiteral("已完成\t100%\t")) && line.contains(QLatin1String(".htm\t"));
        waiting += line.startsWith(QStringLiteral("等待\t\t\t"));
    }
    QCOMPARE(pages, 5);
    QCOMPARE(waiting, 1);
}

// clang-format off
void TestCliDownload::stopRequest_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("line");

    // The single connection ends as cancelled, a parallel worker is unloaded;
    // either way what arrived stays in the .part file and nothing stands
    // under the item's name.
    QTest::newRow("single connection, Ctrl-C")
        << 1 << SIGINT << "失败\t下载取消\t1000000\tDIR/stall.pdf\tSITE/stall?size=1000000&after=65536";
    QTest::newRow("single connection, termination request")
        << 1 << SIGTERM << "失败\t下载取消\t1000000\tDIR/stall.pdf\tSITE/stall?size=1000000&after=65536";
    QTest::newRow("parallel worker, Ctrl-C")
        << 2 << SIGINT << "失败\t6%\t1000000\tDIR/stall.pdf\tSITE/stall?size=1000000&after=65536";
}
// clang-format on

void TestCliDownload::stopRequest()
{
    QFETCH(int, method);
    QFETCH(int, signalNumber);
    QFETCH(QString, line);

    const QString path = QDir(m_runFolder).filePath("stall.pdf");
    const QString part = path + QStringLiteral(".part");
    LiveRun live(expand(QStringList{"download", "--method", QString::number(method), "SITE/pdf?size=900",
                                    "SITE/stall?size=1000000&after=65536"},
                        m_runFolder),
                 m_runFolder);

    // The first row is done and the second has received its first bytes.
    QTRY_VERIFY_WITH_TIMEOUT(!m_site.requestsTo("/stall").isEmpty(), 10000);
    if (method == 1)
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() > 0, 10000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(live.errorsSoFar().contains(QStringLiteral("正在下载:1 等待:0 已完成:1")), 10000);
    QCOMPARE(::kill(pid_t(live.process.processId()), signalNumber), 0);
    QVERIFY(live.waitForEnd());

    const CliRun run = CollectCliRun(live.process);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.lines, expand(QStringList{"已完成\t100%\t900\tDIR/pdf.pdf\tSITE/pdf?size=900", line}, m_runFolder));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(QFileInfo(part).size(), qint64(65536));
    QCOMPARE(QDir(m_runFolder).entryList(QDir::Files).size(), 2);
}

// clang-format off
void TestCliDownload::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown option") << QStringList{"download", "--fast", "SITE/pdf"} << "unknown option \"--fast\"";
    QTest::newRow("nine threads") << QStringList{"download", "--threads", "9", "SITE/pdf"}
                                  << "--threads must be a whole number from 1 to 6, not \"9\"";
    QTest::newRow("no threads") << QStringList{"download", "--threads=0", "SITE/pdf"}
                                << "--threads must be a whole number from 1 to 6, not \"0\"";
    QTest::newRow("third method") << QStringList{"download", "--method", "3", "SITE/pdf"}
                                  << "--method must be 1 or 2, not \"3\"";
    QTest::newRow("interval past the box") << QStringList{"download", "--interval", "601", "SITE/pdf"}
                                           << "--interval must be a whole number of seconds from 0 to 600";
    QTest::newRow("same-name word unknown") << QStringList{"download", "--same-name", "keep", "SITE/pdf"}
                                            << "--same-name must be skip, overwrite or rename";
    QTest::newRow("size limit not a number") << QStringList{"download", "--max-mb", "ten", "SITE/pdf"}
                                             << "--max-mb must be a positive number";
    QTest::newRow("proxy without port") << QStringList{"download", "--proxy", "127.0.0.1", "SITE/pdf"}
                                        << "--proxy must be HOST:PORT";
    QTest::newRow("type with a separator") << QStringList{"download", "--type", "../pdf", "SITE/pdf"}
                                           << "--type must be a file extension without a dot";
    QTest::newRow("retry word unknown") << QStringList{"download", "--retry", "all", "SITE/pdf"}
                                        << "--retry must be failed, pages or both";
    QTest::newRow("name source unknown") << QStringList{"download", "--name-from", "title", "SITE/pdf"}
                                         << "--name-from must be link or server, not \"title\"";
    QTest::newRow("state without a file") << QStringList{"download", "SITE/pdf", "--state="}
                                          << "--state needs a value";
    QTest::newRow("option without its value") << QStringList{"download", "SITE/pdf", "--dir"}
                                              << "--dir needs a value";
    QTest::newRow("flag with a value") << QStringList{"download", "--stop-after-errors=yes", "SITE/pdf"}
                                       << "--stop-after-errors takes no value";
    QTest::newRow("no address") << QStringList{"download", "--threads", "2"} << "no address given";
    QTest::newRow("not a web address") << QStringList{"download", "ftp://127.0.0.1/paper.pdf"}
                                       << "not an http or https address: ftp://127.0.0.1/paper.pdf";
    QTest::newRow("missing list file") << QStringList{"download", "--list", "absent.txt"}
                                       << "cannot read the list file";
    QTest::newRow("unreadable list file") << QStringList{"download", "--list", "closed.txt"}
                                          << "cannot read the list file";
    QTest::newRow("list file is a folder") << QStringList{"download", "--list", "folder.txt"}
                                           << "cannot read the list file";
    QTest::newRow("list line with four fields") << QStringList{"download", "--list", "four-fields.txt"}
                                                << "four-fields.txt: line 2: more than three fields";
    QTest::newRow("list line without an address") << QStringList{"download", "--list", "no-address.txt"}
                                                  << "no-address.txt: line 1: not an http or https address: paper.pdf";
}
// clang-format on

void TestCliDownload::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    QVERIFY(writeFile(QDir(m_runFolder).filePath("closed.txt"), expand("SITE/pdf\n", m_runFolder).toUtf8()));
    QVERIFY(QFile::setPermissions(QDir(m_runFolder).filePath("closed.txt"), QFileDevice::WriteOwner));
    QVERIFY(QDir(m_runFolder).mkdir("folder.txt"));
    QVERIFY(
        writeFile(QDir(m_runFolder).filePath("four-fields.txt"),
                  expand("SITE/pdf?size=1\tone\nSITE/pdf?size=2\ttwo\tSITE/results\textra\n", m_runFolder).toUtf8()));
    QVERIFY(writeFile(QDir(m_runFolder).filePath("no-address.txt"), "paper.pdf\tPaper\n"));

    const CliRun run = runServed(arguments, m_runFolder);
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.lines.isEmpty());
    QVERIFY2(run.errors.startsWith(QStringLiteral("paperdrift-cli download: ") + message), qPrintable(run.errors));
    QVERIFY2(run.errors.contains(QLatin1String("usage: paperdrift-cli download")), qPrintable(run.errors));
    QVERIFY(m_site.requests().isEmpty());
    QCOMPARE(QDir(m_runFolder).entryList(QDir::Files).size(), 3); // nothing was stored
}

QTEST_GUILESS_MAIN(TestCliDownload)
#include "tst_cli_download.moc"
