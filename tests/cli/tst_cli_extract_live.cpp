// "paperdrift-cli extract --live": the test site's result pages loaded in the
// embedded browser give the same lines as their saved markup read with the
// page's address; a page that never finishes loading is reported and skipped.
#include "tests/cli/CliRun.h"
#include "tests/support/FixtureSite.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestCliExtractLive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameLinesAsSavedPages_data();
    void sameLinesAsSavedPages();
    void pageThatNeverLoads();

private:
    // Runs the program while this process's event loop serves the site.
    CliRun run(const QStringList &arguments);
    QString pageUrl(int page) const { return m_site.url(QStringLiteral("/results?page=%1").arg(page)); }

    FixtureSite m_site;
    QTemporaryDir m_dir;
};

void TestCliExtractLive::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_site.start());
    for (int page = 1; page <= FixtureSite::kResultPageCount; ++page) {
        QFile file(m_dir.filePath(QStringLiteral("results-%1.html").arg(page)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(FixtureSite::resultPage(page)) > 0);
    }
}

CliRun TestCliExtractLive::run(const QStringList &arguments)
{
    QProcess process;
    PrepareCli(process, arguments, m_dir.path());
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    if (!finished.wait(120000)) {
        process.kill();
        process.waitForFinished();
        return CliRun();
    }
    return CollectCliRun(process);
}

// clang-format off
void TestCliExtractLive::sameLinesAsSavedPages_data()
{
    QTest::addColumn<QStringList>("filters");
    QTest::newRow("every entry") << QStringList();
    QTest::newRow("ticked only") << QStringList{"--ticked-only"};
    QTest::newRow("free only") << QStringList{"--free-only"};
}
// clang-format on

void TestCliExtractLive::sameLinesAsSavedPages()
{
    QFETCH(QStringList, filters);

    // Each page on its own: the saved markup read with the address the
    // browser loads it from, and the page loaded.
    QStringList saved;
    QStringList urls;
    for (int page = 1; page <= FixtureSite::kResultPageCount; ++page) {
        const CliRun fromFile = run(QStringList{"extract", "--url", pageUrl(page)} + filters
                                    + QStringList{QStringLiteral("results-%1.html").arg(page)});
        const CliRun live = run(QStringList{"extract", "--live"} + filters + QStringList{pageUrl(page)});
        QCOMPARE(fromFile.exitCode, 0);
        QCOMPARE(live.exitStatus, QProcess::NormalExit);
        QCOMPARE(live.errors, QString());
        QCOMPARE(live.exitCode, 0);
        QCOMPARE(live.lines, fromFile.lines);
        saved += fromFile.lines;
        urls << pageUrl(page);
    }
    QVERIFY(!saved.isEmpty());

    // All pages in one run: one list, so a link met again on a later page
    // is dropped.
    QStringList expected;
    QSet<QString> links;
    for (const QString &line : saved) {
        const QString link = line.section(QLatin1Char('\t'), 1, 1);
        if (!links.contains(link))
            expected << line;
        links.insert(link);
    }
    const CliRun all = run(QStringList{"extract", "--live"} + filters + urls);
    QCOMPARE(all.exitCode, 0);
    QCOMPARE(all.lines, expected);
}

void TestCliExtractLive::pageThatNeverLoads()
{
    FixtureSite site;
    QVERIFY(site.start());
    site.holdResultPage(2);
    const CliRun live =
        run({"extract", "--live", "--load-limit", "3", site.url("/results?page=2"), site.url("/results?page=3")});
    const CliRun saved = run({"extract", "--url", site.url("/results?page=3"), "results-3.html"});

    QCOMPARE(live.exitStatus, QProcess::NormalExit);
    QCOMPARE(live.exitCode, 1);
    QCOMPARE(live.errors, "paperdrift-cli extract: " + site.url("/results?page=2")
                              + " did not finish loading within 3 seconds; skipped\n");
    QCOMPARE(live.lines, saved.lines); // the page after it is still read
}

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    TestCliExtractLive test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cli_extract_live.moc"
