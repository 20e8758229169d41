#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

// The desktop program started as a user starts it, for what it says before
// any window opens: without a display it names the command-line tool.
class TestPaperdriftProgram : public QObject
{
    Q_OBJECT

private slots:
    void beforeAnyWindow_data();
    void beforeAnyWindow();
};

// clang-format off
void TestPaperdriftProgram::beforeAnyWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");
    QTest::newRow("no display") << QStringList() << false << 3 << "paperdrift-cli";
    QTest::newRow("no display, addresses given") << QStringList{"http://127.0.0.1:1/a.pdf"} << false << 3
                                                 << "./run-paperdrift.sh cli";
    QTest::newRow("help needs no display") << QStringList{"--help"} << false << 0 << "usage: paperdrift";
    QTest::newRow("help names each option") << QStringList{"--help"} << false << 0
                                            << "  --dir FOLDER  folder the rows are stored in (default: the current folder)\n";
    QTest::newRow("version needs no display") << QStringList{"--version"} << false << 0
                                              << "paperdrift " PROJECT_VERSION_TEXT "\n";
    QTest::newRow("help over a wrong option") << QStringList{"--threads", "6", "-h"} << true << 0 << "usage: paperdrift";
    QTest::newRow("unknown option") << QStringList{"--threads", "6"} << true << 2 << "unknown option --threads";
    QTest::newRow("single-dash option") << QStringList{"-x", "http://127.0.0.1:1/a.pdf"} << true << 2
                                        << "unknown option -x";
    QTest::newRow("folder without its value") << QStringList{"http://127.0.0.1:1/a.pdf", "--dir"} << true << 2
                                              << "--dir needs a value";
    QTest::newRow("list file missing") << QStringList{"--list", "no-such-list.txt"} << true << 2
                                       << "cannot read the list file no-such-list.txt";
    QTest::newRow("list line not a web address") << QStringList{"--list", "@list"} << true << 2
                                                 << "line 2: not an http or https address: ftp://host/a.pdf";
}
// clang-format on

void TestPaperdriftProgram::beforeAnyWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    // "@list" stands for a list file whose second line is no web address.
    QTemporaryDir folder;
    for (QString &argument : arguments) {
        if (argument != QLatin1String("@list"))
            continue;
        argument = folder.filePath(QStringLiteral("list.txt"));
        QFile list(argument);
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("http://127.0.0.1:1/a.pdf\tA\nftp://host/a.pdf\n");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QDir::tempPath());
    program.start(QStringLiteral(PAPERDRIFT_PATH), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const QString output = QString::fromLocal8Bit(program.readAllStandardOutput() + program.readAllStandardError());
    QVERIFY2(output.contains(says), qPrintable(output));
    if (exitCode == 3)
        QCOMPARE(output.count(QLatin1Char('\n')), 1); // one sentence
}

QTEST_GUILESS_MAIN(TestPaperdriftProgram)
#include "tst_paperdrift_program.moc"
