#include "tests/cli/CliRun.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestCliSniff : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sniff_data();
    void sniff();
    void usage_data();
    void usage();

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

QTEST_GUILESS_MAIN(TestCliSniff)
#include "tst_cli_sniff.moc"
