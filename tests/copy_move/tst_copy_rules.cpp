// The copy/move rules on real files in a temporary folder: the collision
// options, the counter names, the splitting of names, and runs step by step.
#include "copy_move/CopyRules.h"
#include "platform/SafeFiles.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// "name=content" pairs of a folder's files, sorted by name.
QStringList folderFiles(const QString &folder)
{
    QStringList files;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name))
        files.append(name + QLatin1Char('=') + QString::fromUtf8(readFile(folder + name)));
    return files;
}

void setTime(const QString &path, const QDateTime &time)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

class TestCopyRules : public QObject
{
    Q_OBJECT

private slots:
    void collisionOptions_data();
    void collisionOptions();
    void splitFilePath_data();
    void splitFilePath();
    void splitCounterSuffix_data();
    void splitCounterSuffix();
    void filesInDestinationArePassedOver();
    void moveDeletesOnlyWhatWasCopied();
    void runGoesOneFilePerStep();
    void vanishedFilesLeaveTheList();
    void plantedLinks_data();
    void plantedLinks();
    void runCountsSuccessesAndFailures();
};

// clang-format off
void TestCopyRules::collisionOptions_data()
{
    QTest::addColumn<QString>("sourceName");
    QTest::addColumn<QByteArray>("sourceBytes");
    QTest::addColumn<QStringList>("present");  // destination files before, "name=content"
    QTest::addColumn<bool>("sameTime");        // present files carry the source's time
    QTest::addColumn<int>("optionIndex");
    QTest::addColumn<QStringList>("expected"); // destination files after

    QTest::newRow("skip keeps the existing file")
        << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"} << false << 1 << QStringList{"a.pdf=old"};
    QTest::newRow("overwrite") << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"} << false << 2
                               << QStringList{"a.pdf=new"};
    QTest::newRow("rename past a[001] to a[002]")
        << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old", "a[001].pdf=one"} << false << 3
        << QStringList{"a.pdf=old", "a[001].pdf=one", "a[002].pdf=new"};
    QTest::newRow("counter dropped: a[002].pdf lands as a.pdf")
        << "a[002].pdf" << QByteArray("new") << QStringList{"a[002].pdf=old"} << false << 3
        << QStringList{"a.pdf=new", "a[002].pdf=old"};
    QTest::newRow("a[x] is no counter") << "a[x].pdf" << QByteArray("new") << QStringList{"a[x].pdf=old"} << false
                                        << 3 << QStringList{"a[x].pdf=old", "a[x][001].pdf=new"};
    QTest::newRow("size and time: equal length, other time renames")
        << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"} << false << 4
        << QStringList{"a.pdf=old", "a[001].pdf=new"};
    QTest::newRow("size and time: both equal overwrites")
        << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"} << true << 4 << QStringList{"a.pdf=new"};
    QTest::newRow("size and time: other length renames")
        << "a.pdf" << QByteArray("newer") << QStringList{"a.pdf=old"} << true << 4
        << QStringList{"a.pdf=old", "a[001].pdf=newer"};
    QTest::newRow("size: equal length overwrites")
        << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"} << false << 5 << QStringList{"a.pdf=new"};
    QTest::newRow("size: other length renames")
        << "a.pdf" << QByteArray("newer") << QStringList{"a.pdf=old"} << false << 5
        << QStringList{"a.pdf=old", "a[001].pdf=newer"};
    QTest::newRow("seven-character extension belongs to the base")
        << "paper.torrent" << QByteArray("new") << QStringList{"paper.torrent=old"} << false << 3
        << QStringList{"paper.torrent=old", "paper.torrent[001]=new"};
    QTest::newRow("blanks before the dot: A .pdf lands as A.pdf")
        << "A .pdf" << QByteArray("new") << QStringList{} << false << 3 << QStringList{"A.pdf=new"};
    QTest::newRow("no option selected leaves the file") << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"}
                                                        << false << 0 << QStringList{"a.pdf=old"};
    QTest::newRow("stored index 6 selects none") << "a.pdf" << QByteArray("new") << QStringList{"a.pdf=old"}
                                                 << false << 6 << QStringList{"a.pdf=old"};
    QTest::newRow("free name copies under any option")
        << "a.pdf" << QByteArray("new") << QStringList{} << false << 0 << QStringList{"a.pdf=new"};
}
// clang-format on

void TestCopyRules::collisionOptions()
{
    QFETCH(QString, sourceName);
    QFETCH(QByteArray, sourceBytes);
    QFETCH(QStringList, present);
    QFETCH(bool, sameTime);
    QFETCH(int, optionIndex);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from") && QDir(dir.path()).mkpath("to"));
    const QString from = dir.filePath("from") + '/';
    const QString to = dir.filePath("to") + '/';
    const QString source = from + sourceName;
    QVERIFY(writeFile(source, sourceBytes));
    const QDateTime sourceTime = QDateTime::currentDateTimeUtc().addSecs(-3600);
    setTime(source, sourceTime);
    for (const QString &pair : present) {
        const QString name = pair.section('=', 0, 0);
        QVERIFY(writeFile(to + name, pair.section('=', 1).toUtf8()));
        setTime(to + name, sameTime ? sourceTime : sourceTime.addSecs(-60));
    }

    CopyOneFile(source, to, CollisionFromIndex(optionIndex), false);

    QCOMPARE(folderFiles(to), expected);
    QCOMPARE(readFile(source), sourceBytes);
}

// clang-format off
void TestCopyRules::splitFilePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");

    QTest::newRow("plain") << "/d/a.pdf" << "/d/" << "a" << "pdf";
    QTest::newRow("no folder") << "a.pdf" << "" << "a" << "pdf";
    QTest::newRow("six characters") << "/d/a.abcdef" << "/d/" << "a" << "abcdef";
    QTest::newRow("seven characters") << "/d/a.abcdefg" << "/d/" << "a.abcdefg" << "";
    QTest::newRow("blanks trimmed") << " /d/A . pdf " << "/d/" << "A" << "pdf";
    QTest::newRow("dot first") << "/d/.pdf" << "/d/" << ".pdf" << "";
    QTest::newRow("no dot") << "/d/readme" << "/d/" << "readme" << "";
    QTest::newRow("last dot counts") << "/d/a.b.pdf" << "/d/" << "a.b" << "pdf";
}
// clang-format on

void TestCopyRules::splitFilePath()
{
    QFETCH(QString, path);
    const SplitPath split = SplitFilePath(path);
    QTEST(split.folder, "folder");
    QTEST(split.base, "base");
    QTEST(split.extension, "extension");
}

// clang-format off
void TestCopyRules::splitCounterSuffix_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("stripped");

    QTest::newRow("counter") << "a[002]" << "a";
    QTest::newRow("blanks inside") << "a[ 7 ]" << "a";
    QTest::newRow("last bracket pair") << "a[1][2]" << "a[1]";
    QTest::newRow("not a number") << "a[x]" << "a[x]";
    QTest::newRow("empty brackets") << "a[]" << "a[]";
    QTest::newRow("would be empty") << "[3]" << "[3]";
    QTest::newRow("no bracket") << "a]" << "a]";
    QTest::newRow("not at the end") << "a[1]b" << "a[1]b";
}
// clang-format on

void TestCopyRules::splitCounterSuffix()
{
    QFETCH(QString, base);
    QTEST(SplitCounterSuffix(base), "stripped");
}

// A file already in the destination folder is neither copied nor deleted,
// in copy and in move mode.
void TestCopyRules::filesInDestinationArePassedOver()
{
    QTemporaryDir dir;
    const QString to = dir.path() + '/';
    QVERIFY(writeFile(to + "a.pdf", "same"));
    QVERIFY(QFile::link(dir.path(), dir.path() + "-link"));
    const QString linked = dir.path() + "-link/";
    for (const bool move : {false, true}) {
        QCOMPARE(CopyOneFile(to + "a.pdf", to, Collision::Rename, move), FileOutcome::PassedOver);
        QCOMPARE(folderFiles(to), QStringList{"a.pdf=same"});
        // The same folder through a link: overwriting would copy the file onto
        // itself, and a move would then delete it.
        QCOMPARE(CopyOneFile(to + "a.pdf", linked, Collision::Overwrite, move), FileOutcome::PassedOver);
        QCOMPARE(folderFiles(to), QStringList{"a.pdf=same"});
    }
    QFile::remove(dir.path() + "-link");
}

void TestCopyRules::moveDeletesOnlyWhatWasCopied()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from") && QDir(dir.path()).mkpath("to"));
    const QString from = dir.filePath("from") + '/';
    const QString to = dir.filePath("to") + '/';
    QVERIFY(writeFile(from + "a.pdf", "new") && writeFile(from + "b.pdf", "bbb") && writeFile(to + "b.pdf", "old"));

    QCOMPARE(CopyOneFile(from + "a.pdf", to, Collision::Skip, true), FileOutcome::Copied);
    QCOMPARE(CopyOneFile(from + "b.pdf", to, Collision::Skip, true), FileOutcome::LeftAlone);

    QCOMPARE(folderFiles(from), QStringList{"b.pdf=bbb"});
    QCOMPARE(folderFiles(to), (QStringList{"a.pdf=new", "b.pdf=old"}));
}

void TestCopyRules::runGoesOneFilePerStep()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from") && QDir(dir.path()).mkpath("to"));
    const QString from = dir.filePath("from") + '/';
    const QString to = dir.filePath("to") + '/';
    QVERIFY(writeFile(from + "a.pdf", "a") && writeFile(from + "b.pdf", "b"));

    CopyRun run({from + "a.pdf", from + "b.pdf"}, to, Collision::Rename, false);
    QCOMPARE(run.progressMaximum(), 3);
    QCOMPARE(run.nextName(), QStringLiteral("a.pdf"));
    QVERIFY(run.step());
    QCOMPARE(run.position(), 1);
    QCOMPARE(folderFiles(to), QStringList{"a.pdf=a"});
    QVERIFY(run.step());
    QVERIFY(run.atEnd());
    QVERIFY(!run.step());
    QCOMPARE(folderFiles(to), (QStringList{"a.pdf=a", "b.pdf=b"}));
}

void TestCopyRules::vanishedFilesLeaveTheList()
{
    QTemporaryDir dir;
    const QString kept = dir.filePath("kept.pdf");
    QVERIFY(writeFile(kept, "k"));
    QCOMPARE(ExistingFiles({dir.filePath("gone.pdf"), kept, dir.path()}), QStringList{kept});
}

// clang-format off
void TestCopyRules::plantedLinks_data()
{
    QTest::addColumn<QString>("plantedAt");  // name in the destination: a link to a file elsewhere, or "name/" a folder
    QTest::addColumn<bool>("dangling");      // the link points nowhere
    QTest::addColumn<int>("optionIndex");
    QTest::addColumn<int>("outcome");        // FileOutcome
    QTest::addColumn<QString>("copyName");   // where the copy lands; empty: nowhere

    QTest::newRow("link at the side file's name") << "a.pdf.copying" << false << 2 << int(FileOutcome::Copied) << "a.pdf";
    QTest::newRow("dangling link at the side file's name") << "a.pdf.copying" << true << 2 << int(FileOutcome::Copied) << "a.pdf";
    QTest::newRow("folder at the side file's name") << "a.pdf.copying/" << false << 2 << int(FileOutcome::Failed) << "";
    QTest::newRow("overwrite replaces a link, not its target") << "a.pdf" << false << 2 << int(FileOutcome::Overwritten) << "a.pdf";
    QTest::newRow("skip leaves a dangling link") << "a.pdf" << true << 1 << int(FileOutcome::LeftAlone) << "";
    QTest::newRow("rename passes a dangling link") << "a.pdf" << true << 3 << int(FileOutcome::Renamed) << "a[001].pdf";
    QTest::newRow("rename passes a folder") << "a.pdf/" << false << 3 << int(FileOutcome::Renamed) << "a[001].pdf";
}
// clang-format on

// Links planted in the destination are never written through: the file they
// point to keeps its bytes, and the copy ends as a regular file.
void TestCopyRules::plantedLinks()
{
    QFETCH(QString, plantedAt);
    QFETCH(bool, dangling);
    QFETCH(int, optionIndex);
    QFETCH(int, outcome);
    QFETCH(QString, copyName);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from") && QDir(dir.path()).mkpath("to") && QDir(dir.path()).mkpath("elsewhere"));
    const QString to = dir.filePath("to") + '/';
    const QString source = dir.filePath("from/a.pdf");
    const QString victim = dir.filePath("elsewhere/victim.pdf");
    QVERIFY(writeFile(source, "new") && writeFile(victim, "victim"));
    if (plantedAt.endsWith('/'))
        QVERIFY(QDir().mkpath(to + plantedAt + "inner"));
    else
        QVERIFY(QFile::link(dangling ? dir.filePath("elsewhere/none.pdf") : victim, to + plantedAt));

    QCOMPARE(int(CopyOneFile(source, to, CollisionFromIndex(optionIndex), false)), outcome);

    QCOMPARE(readFile(victim), QByteArray("victim"));
    QVERIFY(!QFileInfo::exists(dir.filePath("elsewhere/none.pdf")));
    if (!copyName.isEmpty()) {
        QVERIFY(!QFileInfo(to + copyName).isSymLink());
        QCOMPARE(readFile(to + copyName), QByteArray("new"));
    }
    // A folder is never removed, a link left alone stays, and no side file
    // is left behind.
    if (plantedAt.endsWith('/'))
        QVERIFY(QFileInfo(to + plantedAt + "inner").isDir());
    if (outcome == int(FileOutcome::LeftAlone))
        QVERIFY(QFileInfo(to + plantedAt).isSymLink());
    if (plantedAt != "a.pdf.copying/")
        QVERIFY(!NameTaken(to + "a.pdf.copying"));
}

// A run counts what reached the destination and what could not.
void TestCopyRules::runCountsSuccessesAndFailures()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("from") && QDir(dir.path()).mkpath("to/b.pdf.copying"));
    const QString from = dir.filePath("from") + '/';
    const QString to = dir.filePath("to") + '/';
    QVERIFY(writeFile(from + "a.pdf", "a") && writeFile(from + "b.pdf", "b") && writeFile(from + "c.pdf", "c")
            && writeFile(to + "c.pdf", "old"));

    CopyRun run({from + "a.pdf", from + "b.pdf", from + "c.pdf", to + "c.pdf"}, to, Collision::Skip, false);
    while (run.step()) {
    }
    QCOMPARE(run.outcomes(), (QList<FileOutcome>{FileOutcome::Copied, FileOutcome::Failed, FileOutcome::LeftAlone,
                                                 FileOutcome::PassedOver}));
    QCOMPARE(run.succeeded(), 1);
    QCOMPARE(run.failed(), 1);
}

QTEST_GUILESS_MAIN(TestCopyRules)
#include "tst_copy_rules.moc"
