#include "tests/cli/CliRun.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

class TestCliSniff : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sniff_data();
    void sniff();
    void usage_data();
    void usage();
    void helpAndVersion_data();
    void helpAndVersion();

private:
    QTemporaryDir m_dir;
};

void TestCliSniff::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(writeFile(m_dir.filePath("paper.pdf"), "%PDF-1.4\n%%EOF\n"));
    QVERIFY(writeFile(m_dir.filePath("login.pdf"),
                      "<html>\n<head><title>Sign in</title></head>\n<body><form></form></body>\n</html>\n"));
    QVERIFY(writeFile(m_dir.filePath("notes.txt"), "plain notes, nothing to recognise\n"));
    QVERIFY(writeFile(m_dir.filePath("论文 一.caj"), QByteArray::fromHex("C8000000") + QByteArray(60, '.')));
    QVERIFY(writeFile(m_dir.filePath("closed.pdf"), "%PDF-1.4\n%%EOF\n"));
    QVERIFY(QFile::setPermissions(m_dir.filePath("closed.pdf"), QFileDevice::WriteOwner));
    QVERIFY(QDir(m_dir.path()).mkdir("folder.pdf"));
    QVERIFY(writeFile(m_dir.filePath("-odd.pdf"), "%PDF-1.4\n%%EOF\n"));
}

// clang-format off
void TestCliSniff::sniff_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("one pdf") << QStringList{"sniff", "paper.pdf"} << QStringList{"pdf\tpaper.pdf"};
    QTest::newRow("files in the order given")
        << QStringList{"sniff", "login.pdf", "paper.pdf", "notes.txt", "论文 一.caj"}
        << QStringList{"htm\tlogin.pdf", "pdf\tpaper.pdf", "\tnotes.txt", "caj\t论文 一.caj"};
    QTest::newRow("missing, unreadable and folder")
        << QStringList{"sniff", "missing.pdf", "closed.pdf", "folder.pdf", "paper.pdf"}
        << QStringList{"\tmissing.pdf", "\tclosed.pdf", "\tfolder.pdf", "pdf\tpaper.pdf"};
    QTest::newRow("a name like an option after --") << QStringList{"sniff", "--", "-odd.pdf", "--"}
                                                    << QStringList{"pdf\t-odd.pdf", "\t--"};
    QTest::newRow("same file twice") << QStringList{"sniff", "paper.pdf", "paper.pdf"}
                                     << QStringList{"pdf\tpaper.pdf", "pdf\tpaper.pdf"};
}
// clang-format on

void TestCliSniff::sniff()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);

    const CliRun run = RunCli(arguments, m_dir.path());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, lines);
    QCOMPARE(run.errors, QString());
}

// clang-format off
void TestCliSniff::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("errorsStart");

    QTest::newRow("sniff without files") << QStringList{"sniff"} << 2 << "usage: paperdrift-cli sniff FILE...";
    QTest::newRow("no command") << QStringList{} << 2 << "usage:";
    QTest::newRow("unknown command") << QStringList{"fetch", "paper.pdf"} << 2
                                     << "paperdrift-cli: unknown command \"fetch\"";
    QTest::newRow("option before the command word") << QStringList{"--fast", "sniff", "paper.pdf"} << 2
                                                    << "paperdrift-cli: unknown option \"--fast\"\nusage:";
    QTest::newRow("sniff with an unknown option") << QStringList{"sniff", "-x", "paper.pdf"} << 2
                                                  << "paperdrift-cli sniff: unknown option \"-x\"\nusage: paperdrift-cli sniff";
}
// clang-format on

void TestCliSniff::usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, errorsStart);

    const CliRun run = RunCli(arguments, m_dir.path());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.lines.isEmpty());
    QVERIFY2(run.errors.startsWith(errorsStart), qPrintable(run.errors));
}

// clang-format off
void TestCliSniff::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("lines"); // patterns each of which matches a whole line of the output

    QTest::newRow("the program's version") << QStringList{"--version"} << QStringList{R"(paperdrift-cli \d+\.\d+\.\d+)"};
    QTest::newRow("the program's help")
        << QStringList{"--help"}
        << QStringList{"usage:", R"(  paperdrift-cli download \[OPTIONS\] URL\.\.\. \| --list FILE)", "  paperdrift-cli --version",
                       "paperdrift-cli COMMAND --help lists the options of a command."};
    QTest::newRow("help as the command word") << QStringList{"help"} << QStringList{"usage:"};
    QTest::newRow("a command's --help goes to the command")
        << QStringList{"sniff", "--help"}
        << QStringList{R"(usage: paperdrift-cli sniff FILE\.\.\.)", R"(  FILE\.\.\. +files to look at.*)", R"(  -h, --help +print this help)"};
    QTest::newRow("download: one option a line, with its default")
        << QStringList{"download", "--help"}
        << QStringList{R"(usage: paperdrift-cli download .*)",
                       R"(  URL\.\.\. +addresses to fetch, stored under the name their link gives)",
                       R"(  --method 1\|2 +1: one transfer at a time; 2: parallel transfers \(default 2\))",
                       R"(  --threads 1-6 +parallel transfers of method 2 \(default 3\))",
                       R"(  --interval SECONDS +pause after a transfer ends before the next starts, 0-600 \(default 0\))",
                       R"(  --same-name skip\|overwrite\|rename +\(or 跳过\|覆盖\|重命名\) when the file exists \(default rename\))",
                       R"(  --max-mb N +files larger than N megabytes are skipped \(default 10\))",
                       R"(  --type EXT +the items' type before the transfer \(default pdf\))",
                       R"(  --stop-after-errors +stop once five items failed or ended as web pages)",
                       R"(  --name-from link\|server +items without a name of their own .*)"};
    QTest::newRow("download: help over a wrong value")
        << QStringList{"download", "--threads", "9", "-h"} << QStringList{R"(usage: paperdrift-cli download .*)"};
    QTest::newRow("extract's options")
        << QStringList{"extract", "--help"}
        << QStringList{R"(usage: paperdrift-cli extract .*)", R"(  --free-only +take only the entries marked free on the page)",
                       R"(  --load-limit SECONDS +with --live: .* \(default 30\))"};
}
// clang-format on

// Help and version go to standard output with exit code 0, whatever else
// the command line holds.
void TestCliSniff::helpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);

    const CliRun run = RunCli(arguments, m_dir.path());
    QCOMPARE(run.exitStatus, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errors, QString());
    for (const QString &pattern : lines) {
        const QRegularExpression line(QRegularExpression::anchoredPattern(pattern));
        QVERIFY2(std::any_of(run.lines.cbegin(), run.lines.cend(),
                             [&line](const QString &text) { return line.match(text).hasMatch(); }),
                 qPrintable(pattern + QStringLiteral(" in\n") + run.lines.join(QLatin1Char('\n'))));
    }
}

QTEST_GUILESS_MAIN(TestCliSniff)
#include "tst_cli_sniff.moc"
