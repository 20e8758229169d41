#include "cli/DownloadReport.h"
#include "cli/RunState.h"
#include "engine/DownloadList.h"
#include "engine/RowTexts.h"
#include "tests/cli/CliRun.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/FixtureSite.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>

// Command-line runs that survive a stop (--state), names from the server,
// and the live line.
namespace {

constexpr int kRunTimeoutMs = 60000;
constexpr int kFiles = 20;
constexpr qint64 kFileSize = 300000;

// A run the test watches while it goes on.
class LiveRun
{
public:
    LiveRun(const QStringList &arguments, const QString &folder) : m_finished(&process, &QProcess::finished)
    {
        PrepareCli(process, arguments, folder);
        process.setReadChannel(QProcess::StandardError);
        process.start();
    }
    ~LiveRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // Rows reported finished on standard error so far.
    int finishedSoFar() { return QString::fromUtf8(process.peek(1 << 20)).count(QStringLiteral("已完成 100%")); }
    bool waitForEnd() { return m_finished.wait(kRunTimeoutMs); }

    QProcess process;

private:
    QSignalSpy m_finished;
};

// The rows of a state file: address and state word.
QHash<QString, QString> statesIn(const QString &path)
{
    QHash<QString, QString> states;
    const QJsonObject root = QJsonDocument::fromJson(readFile(path)).object();
    for (const QJsonValue &row : root.value(QStringLiteral("rows")).toArray())
        states.insert(row[QStringLiteral("url")].toString(), row[QStringLiteral("state")].toString());
    return states;
}

// Whether a row in flight has bytes in its .part file: a stop then leaves
// something to continue.
bool partHasBytes(const QString &folder)
{
    const QFileInfoList parts = QDir(folder).entryInfoList({QStringLiteral("*.part")}, QDir::Files);
    return std::any_of(parts.cbegin(), parts.cend(), [](const QFileInfo &part) { return part.size() > 0; });
}

} // namespace

class TestCliState : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_site.start());
    }

    // clang-format off
    void runSurvivesStops_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("parallel workers") << 2;
        QTest::newRow("single connection") << 1;
    }
    // clang-format on

    // Stopped by Ctrl-C after 8 files and killed after 12, the run started
    // again with the same state file fetches only what was missing: no
    // finished file again, a cut one only from where its .part file ends.
    void runSurvivesStops()
    {
        QFETCH(int, method);
        const QString folder = m_dir.filePath(QStringLiteral("state-%1").arg(method));
        QVERIFY(QDir().mkpath(folder));
        const QString statePath = QDir(folder).filePath(QStringLiteral("run.state"));
        QString list;
        QStringList urls;
        for (int i = 1; i <= kFiles; ++i) {
            const QString url = m_site.url(QStringLiteral("/ranged?size=%1&piece=10000&ms=20&method=%2&file=%3")
                                               .arg(kFileSize)
                                               .arg(method)
                                               .arg(i));
            urls << url;
            list += url + QStringLiteral("\tdoc%1\n").arg(i, 2, 10, QLatin1Char('0'));
        }
        QVERIFY(writeFile(QDir(folder).filePath(QStringLiteral("list.txt")), list.toUtf8()));
        const QStringList arguments{"download",  "--method", QString::number(method),
                                    "--threads", "3",        "--state",
                                    "run.state", "--list",   "list.txt"};
        m_site.clearRequests();

        // 1. Ctrl-C after 8 files.
        {
            LiveRun run(arguments, folder);
            QTRY_VERIFY_WITH_TIMEOUT(run.finishedSoFar() >= 8 && partHasBytes(folder), kRunTimeoutMs);
            QCOMPARE(::kill(pid_t(run.process.processId()), SIGINT), 0);
            QVERIFY(run.waitForEnd());
            QCOMPARE(run.process.exitStatus(), QProcess::NormalExit);
        }
        const QHash<QString, QString> afterStop = statesIn(statePath);
        QCOMPARE(afterStop.size(), kFiles);
        const int finishedAfterStop = int(std::count(afterStop.cbegin(), afterStop.cend(), QStringLiteral("finished")));
        QVERIFY(finishedAfterStop >= 8 && finishedAfterStop < kFiles);
        const QList<FixtureSite::Request> firstRun = m_site.requests();

        // 2. Killed after 12 files: the state file is as the last row left it.
        m_site.clearRequests();
        {
            LiveRun run(arguments, folder);
            QTRY_VERIFY_WITH_TIMEOUT(run.finishedSoFar() >= 12 && partHasBytes(folder), kRunTimeoutMs);
            run.process.kill();
            QVERIFY(run.waitForEnd());
        }
        const QList<FixtureSite::Request> secondRun = m_site.requests();
        int continued = 0;
        for (const FixtureSite::Request &request : secondRun)
            continued += request.header("Range").isEmpty() ? 0 : 1;
        const QHash<QString, QString> afterKill = statesIn(statePath);
        QCOMPARE(afterKill.size(), kFiles);
        for (const FixtureSite::Request &request : secondRun)
            QVERIFY2(afterStop.value(m_site.url(QString::fromLatin1(request.target))) != QLatin1String("finished"),
                     request.target.constData());

        // What a third run must continue: the .part files left.
        QHash<QString, qint64> partLengths;
        for (int i = 1; i <= kFiles; ++i) {
            const QString part =
                QDir(folder).filePath(QStringLiteral("doc%1.pdf.part").arg(i, 2, 10, QLatin1Char('0')));
            if (QFileInfo(part).size() > 0)
                partLengths.insert(urls[i - 1], QFileInfo(part).size());
        }

        // 3. To the end.
        m_site.clearRequests();
        LiveRun last(arguments, folder);
        QVERIFY(last.waitForEnd());
        const CliRun run = CollectCliRun(last.process);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.size(), kFiles);
        for (const FixtureSite::Request &request : m_site.requests()) {
            continued += request.header("Range").isEmpty() ? 0 : 1;
            const QString url = m_site.url(QString::fromLatin1(request.target));
            QVERIFY2(afterKill.value(url) != QLatin1String("finished"), request.target.constData());
            if (partLengths.contains(url))
                QCOMPARE(request.header("Range"), "bytes=" + QByteArray::number(partLengths.value(url)) + '-');
        }
        const QByteArray document = FixtureSite::rangedBody(kFileSize);
        for (int i = 1; i <= kFiles; ++i)
            QCOMPARE(readFile(QDir(folder).filePath(QStringLiteral("doc%1.pdf").arg(i, 2, 10, QLatin1Char('0')))),
                     document);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.part*")}, QDir::Files), QStringList());
        QVERIFY(firstRun.size() >= 8);
        QVERIFY(continued >= 1); // the rows in flight at a stop went on from their .part files
    }

    // clang-format off
    void namesFromTheServer_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("files");
        const QStringList server{"--name-from", "server"};
        for (const int method : {1, 2}) {
            const QByteArray m = "method " + QByteArray::number(method) + ": ";
            QTest::newRow(m + "server names; a name of the list's own is kept")
                << method << server << QStringList{"given.pdf", "plain.pdf", "论文.pdf"};
            QTest::newRow(m + "link names by default, without the query")
                << method << QStringList{} << QStringList{"given.pdf", "named.pdf", "named[001].pdf"};
        }
    }
    // clang-format on

    // Content-Disposition names files (filename* before filename) only for
    // rows without a name of their own and only when asked for.
    void namesFromTheServer()
    {
        QFETCH(int, method);
        QFETCH(QStringList, options);
        QFETCH(QStringList, files);
        const QString folder = m_dir.filePath(QStringLiteral("names-%1-%2").arg(method).arg(options.size()));
        QVERIFY(QDir().mkpath(folder));
        const QString plain =
            m_site.url(QStringLiteral("/named?size=1100&disposition=attachment%3B%20filename%3D%22plain.pdf%22"));
        const QString extended =
            m_site.url(QStringLiteral("/named?size=1200&disposition=attachment%3B%20filename%3D%22x.pdf%22%3B%"
                                      "20filename*%3DUTF-8''%25E8%25AE%25BA%25E6%2596%2587.pdf#frag"));
        const QString given =
            m_site.url(QStringLiteral("/named?size=1300&disposition=attachment%3B%20filename%3Dother.pdf"));
        QVERIFY(writeFile(QDir(folder).filePath(QStringLiteral("list.txt")),
                          (plain + "\n" + extended + "\n" + given + "\tgiven\n").toUtf8()));
        LiveRun live(QStringList{"download", "--method", QString::number(method), "--threads", "1"} + options
                         + QStringList{"--list", "list.txt"},
                     folder);
        QVERIFY(live.waitForEnd());
        QCOMPARE(CollectCliRun(live.process).exitCode, 0);
        QStringList stored = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
        std::sort(files.begin(), files.end());
        std::sort(stored.begin(), stored.end());
        QCOMPARE(stored, files);
    }

    // How the rows of a state file come back: finished ones whose file is
    // there (or that ended without one by rule) are passed over, every other
    // row waits again.
    // clang-format off
    void stateRowsComeBack_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<int>("expected"); // ItemState
        QTest::newRow("finished, file there") << "finished" << "100%" << true << int(Finished);
        QTest::newRow("finished, file gone: fetched again") << "finished" << "100%" << false << int(Waiting);
        QTest::newRow("skipped by rule, no file") << "finished" << "已存在，跳过" << false << int(Finished);
        QTest::newRow("too large, no file") << "finished" << "大文件，跳过" << false << int(Finished);
        QTest::newRow("failed") << "failed" << "40%" << false << int(Waiting);
        QTest::newRow("in flight when killed") << "downloading" << "40%" << false << int(Waiting);
    }
    // clang-format on

    void stateRowsComeBack()
    {
        QFETCH(QString, state);
        QFETCH(QString, progress);
        QFETCH(bool, fileThere);
        QFETCH(int, expected);
        const QString folder = m_dir.filePath(QStringLiteral("rows-") + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        DownloadList list;
        DownloadItem item;
        item.Url = QStringLiteral("http://h/doc");
        item.Name = QStringLiteral("doc");
        item.Type = QStringLiteral("pdf");
        item.Folder = folder + QDir::separator();
        item.Progress = ProgressFromText(progress);
        item.Size = ItemSize::ofBytes(1000);
        item.State = state == QLatin1String("finished") ? Finished
                     : state == QLatin1String("failed") ? Failed
                                                        : Downloading;
        list.addItem(item);
        const QString path = QDir(folder).filePath(QStringLiteral("run.state"));
        QVERIFY(WriteRunState(path, list, {}));
        // The file keeps the cells as the list shows them.
        const QJsonObject written =
            QJsonDocument::fromJson(readFile(path)).object().value(QStringLiteral("rows")).toArray().first().toObject();
        QCOMPARE(written.value(QStringLiteral("size")).toString(), QStringLiteral("1000"));
        QCOMPARE(written.value(QStringLiteral("downloaded")).toString(), QString());
        QCOMPARE(written.value(QStringLiteral("progress")).toString(), progress);
        if (fileThere)
            QVERIFY(writeFile(QDir(folder).filePath(QStringLiteral("doc.pdf")), "x"));
        QString error;
        const QList<RunStateRow> rows = ReadRunState(path, &error);
        QCOMPARE(error, QString());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(int(rows.first().item.State), expected);
        QCOMPARE(rows.first().item.Url, item.Url);
        QCOMPARE(rows.first().item.Folder, item.Folder);
        QCOMPARE(ProgressText(rows.first().item.Progress), expected == Finished ? progress : QString());
        QCOMPARE(SizeText(rows.first().item.Size), expected == Finished ? QStringLiteral("1000") : QString());
    }

    // A state file that cannot be read ends the run before anything is
    // fetched, and a file that is no state file is left as it was.
    // clang-format off
    void stateFileErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a state file") << "notes.txt" << "notes.txt is not a state file of paperdrift-cli download";
        QTest::newRow("a folder") << "folder" << "cannot read the state file";
    }
    // clang-format on

    void stateFileErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const QString folder = m_dir.filePath(QStringLiteral("errors-") + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(QDir(folder).filePath(QStringLiteral("folder"))));
        QVERIFY(writeFile(QDir(folder).filePath(QStringLiteral("notes.txt")), "my own notes\n"));
        m_site.clearRequests();
        LiveRun live(QStringList{"download", "--state", name, m_site.url(QStringLiteral("/pdf?size=100"))}, folder);
        QVERIFY(live.waitForEnd());
        const CliRun run = CollectCliRun(live.process);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QCOMPARE(readFile(QDir(folder).filePath(QStringLiteral("notes.txt"))), QByteArray("my own notes\n"));
        QVERIFY(m_site.requests().isEmpty());
    }

    // The live line shows the run's speed, and the time left once every
    // running row has a length.
    void liveLine()
    {
        DownloadList list;
        DownloadItem item;
        item.Url = QStringLiteral("http://h/a");
        item.Name = QStringLiteral("a");
        item.State = Downloading;
        item.Downloaded = 0;
        list.addItem(item);
        QString text;
        QTextStream err(&text);
        ProgressReporter reporter(err, true);
        reporter.sampleSpeed(list, 0.0);
        list.updateItem(0, [](DownloadItem &row) { row.Downloaded = 204800; });
        reporter.sampleSpeed(list, 2.0);
        reporter.update(list);
        QVERIFY2(text.endsWith(QStringLiteral("  100.0 KB/s")), qPrintable(text));

        list.updateItem(0, [](DownloadItem &row) {
            row.Downloaded = 409600;
            row.Size = ItemSize::ofBytes(1433600);
        });
        reporter.sampleSpeed(list, 4.0);
        reporter.update(list);
        QVERIFY2(text.endsWith(QStringLiteral("  100.0 KB/s，剩余 0:10")), qPrintable(text));
    }

private:
    FixtureSite m_site;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliState)
#include "tst_cli_state.moc"
