#include "engine/EngineTexts.h"
#include "engine/Naming.h"
#include "engine/RowTexts.h"
#include "common/SessionSettings.h"
#include "common/SameNamePolicy.h"
#include "tests/support/PromptRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const QString kNul(QChar(0));

// Creates each file (with a few bytes) and each folder ending with "/" below root.
void makeEntries(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        if (entry.endsWith('/')) {
            QVERIFY(QDir(root).mkpath(entry));
            continue;
        }
        QFile file(root + '/' + entry);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(entry));
        file.write("data");
    }
}

void expectFolderNameMessage(const PromptRecorder &prompts, bool shown)
{
    if (!shown) {
        QVERIFY(prompts.records.isEmpty());
        return;
    }
    QCOMPARE(prompts.records.size(), 1);
    const PromptRecorder::Record &record = prompts.records.first();
    QCOMPARE(record.kind, PromptRecorder::Kind::Message);
    QCOMPARE(record.text, QString("文件夹名称有误！不能创建文件夹！"));
    QVERIFY(record.title.isEmpty());
    QCOMPARE(record.icon, PromptIcon::Error);
    QCOMPARE(record.buttons, PromptButtons::Ok);
}

} // namespace

class TestNaming : public QObject
{
    Q_OBJECT

private slots:
    void sanitize_data();
    void sanitize();
    void createFolderPath_data();
    void createFolderPath();
    void createFolderPathAbsoluteAndNetwork_data();
    void createFolderPathAbsoluteAndNetwork();
    void createFolderPathNetworkKeepsServer();
    void createFolderPathUnderReadOnlyFolder();
    void renameSavePath_data();
    void renameSavePath();
    void fallbackName_data();
    void fallbackName();
    void uniqueFilePath_data();
    void uniqueFilePath();
    void needsDownload_data();
    void needsDownload();
};

// clang-format off
void TestNaming::sanitize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString chinese200 = QString(200, QChar(0x6587)); // 文: three bytes in UTF-8
    const QString emoji = QString::fromUcs4(U"\U0001F4C4"); // four bytes, a surrogate pair

    QTest::newRow("reserved characters") << "a/b:c*d?" << "abcd";
    QTest::newRow("every reserved character") << "a\\b/c:d*e?f\"g<h>i|j" << "abcdefghij";
    QTest::newRow("line breaks and NUL") << QString("a\r\nb\nc\rd") + kNul + "e" << "abcde";
    QTest::newRow("nothing but NUL, CR, LF and reserved")
        << kNul + "\r\n\\/:*?\"<>|" + kNul + "\n\r" << "";
    QTest::newRow("dots at both ends") << "..x.." << "x";
    QTest::newRow("blank outside the dots keeps them") << " .a. " << ".a.";
    QTest::newRow("blanks inside the dots are trimmed") << ". a ." << "a";
    QTest::newRow("dots freed by removed characters") << "?.x.?" << "x";
    QTest::newRow("only dots") << "..." << "";
    QTest::newRow("parent folder name is no name") << " .. " << "";
    QTest::newRow("current folder name is no name") << " . " << "";
    QTest::newRow("dots and blanks only are no name") << " ... " << "";
    QTest::newRow("dots between blanks are no name") << " . . . " << "";
    QTest::newRow("200 Chinese characters keep 80") << chinese200 << chinese200.left(80);
    QTest::newRow("300 letters keep 240") << QString(300, 'a') << QString(240, 'a');
    QTest::newRow("a character that does not fit whole is dropped")
        << "a" + chinese200 << "a" + chinese200.left(79);
    QTest::newRow("surrogate pairs stay whole") << "ab" + emoji.repeated(60) << "ab" + emoji.repeated(59);
    QTest::newRow("blank left at the cut is trimmed") << QString(239, 'a') + " b" << QString(239, 'a');
    QTest::newRow("inner blanks and brackets stay") << "  A [1] 『b』  " << "A [1] 『b』";
}
// clang-format on

void TestNaming::sanitize()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    const QString name = SanitizeFileName(text);
    QCOMPARE(name, expected);
    QVERIFY(name.toUtf8().size() <= 240);
}

// Paths in the table are below a fresh temporary folder; an expected result
// of null means the operation returned an empty text.
// clang-format off
void TestNaming::createFolderPath_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("created");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<bool>("message");

    QTest::newRow("folders created level by level")
        << QStringList() << "pdf/2016/" << "pdf/2016" << QStringList{"pdf", "pdf/2016"} << QStringList() << false;
    QTest::newRow("existing folders are used")
        << QStringList{"pdf/2016/"} << "pdf/2016/x" << "pdf/2016/x" << QStringList{"pdf/2016/x"} << QStringList()
        << false;
    QTest::newRow("doubled separator stops the walk")
        << QStringList() << "a//b" << "a" << QStringList{"a"} << QStringList{"b", "a/b"} << false;
    QTest::newRow("folder names are cleaned")
        << QStringList() << "x:y/ ..z*.. " << "xy/..z.." << QStringList{"xy", "xy/..z.."} << QStringList()
        << false;
    QTest::newRow("NUL and line breaks dropped from folder names")
        << QStringList() << "a" + kNul + "\r\n/b\n" << "a/b" << QStringList{"a", "a/b"} << QStringList() << false;
    QTest::newRow("name that cleans to nothing returns the parent")
        << QStringList() << "pdf/???" << "pdf" << QStringList{"pdf"} << QStringList() << true;
    QTest::newRow("walk stops at the bad name")
        << QStringList() << "a/<>/b" << "a" << QStringList{"a"} << QStringList{"a/b", "b"} << true;
    QTest::newRow("parent reference is a bad name")
        << QStringList() << "a/../b" << "a" << QStringList{"a"} << QStringList{"b", "a/b"} << true;
    QTest::newRow("parent is a regular file")
        << QStringList{"file"} << "file/sub/deeper" << QString() << QStringList() << QStringList{"file/sub"}
        << false;
}
// clang-format on

void TestNaming::createFolderPath()
{
    QFETCH(QStringList, before);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QFETCH(QStringList, created);
    QFETCH(QStringList, absent);
    QFETCH(bool, message);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path();
    makeEntries(root, before);

    PromptRecorder prompts;
    const QString result = CreateFolderPath(root + '/' + path, prompts);

    QCOMPARE(result, expected.isNull() ? QString() : root + '/' + expected);
    for (const QString &folder : created)
        QVERIFY2(QFileInfo(root + '/' + folder).isDir(), qPrintable(folder));
    for (const QString &entry : absent)
        QVERIFY2(!QFileInfo::exists(root + '/' + entry), qPrintable(entry));
    expectFolderNameMessage(prompts, message);
}

// clang-format off
void TestNaming::createFolderPathAbsoluteAndNetwork_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("message");

    QTest::newRow("empty path") << "" << "" << false;
    QTest::newRow("the root") << "/" << "/" << false;
    QTest::newRow("bad name below the root returns the root") << "/???" << "/" << true;
    QTest::newRow("network path without server") << "//" << "" << true;
    QTest::newRow("network path with empty server") << "///share/pdf" << "" << true;
}
// clang-format on

void TestNaming::createFolderPathAbsoluteAndNetwork()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QFETCH(bool, message);

    PromptRecorder prompts;
    QCOMPARE(CreateFolderPath(path, prompts), expected);
    expectFolderNameMessage(prompts, message);
}

// The network form keeps its two leading separators and the server name
// uncleaned. This system resolves "//name/..." like "/name/...", so a
// temporary folder written in network form stands in for a share.
void TestNaming::createFolderPathNetworkKeepsServer()
{
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString root = temp.path();
    QVERIFY(root.startsWith('/') && !root.startsWith("//"));

    PromptRecorder prompts;
    const QString network = '/' + root;
    QCOMPARE(CreateFolderPath(network + "/net/", prompts), network + "/net");
    QVERIFY(QFileInfo(root + "/net").isDir());
    QVERIFY(prompts.records.isEmpty());
}

void TestNaming::createFolderPathUnderReadOnlyFolder()
{
#ifdef Q_OS_UNIX
    if (::geteuid() == 0)
        QSKIP("permissions do not stop the superuser; the regular-file parent row covers the failure");
#endif
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString locked = temp.path() + "/locked";
    QVERIFY(QDir().mkdir(locked));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    PromptRecorder prompts;
    const QString result = CreateFolderPath(locked + "/sub/deeper", prompts);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QCOMPARE(result, QString());
    QVERIFY(!QFileInfo::exists(locked + "/sub"));
    QVERIFY(prompts.records.isEmpty());
}

// clang-format off
void TestNaming::renameSavePath_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<SameNamePolicy>("policy");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("expected");

    const SameNamePolicy rename = SameNamePolicy::Rename;
    QTest::newRow("free name is kept") << QStringList() << rename << "A" << "pdf" << "A";
    QTest::newRow("first counter has three digits") << QStringList{"A.pdf"} << rename << "A" << "pdf" << "A[001]";
    QTest::newRow("taken counters are passed over")
        << QStringList{"A.pdf", "A[001].pdf"} << rename << "A" << "pdf" << "A[002]";
    QTest::newRow("counter in the name is continued")
        << QStringList{"A[7].pdf"} << rename << "A[7]" << "pdf" << "A[007]";
    QTest::newRow("counter before other text")
        << QStringList{"A[2] final.pdf"} << rename << "A[2] final" << "pdf" << "A[002]";
    QTest::newRow("counter with blanks inside")
        << QStringList{"A[ 5 ].pdf"} << rename << "A[ 5 ]" << "pdf" << "A[005]";
    QTest::newRow("bracketed text that is no counter")
        << QStringList{"A[x].pdf"} << rename << "A[x]" << "pdf" << "A『x』";
    QTest::newRow("earlier brackets replaced, last counter kept")
        << QStringList{"A[x][3].pdf"} << rename << "A[x][3]" << "pdf" << "A『x』[003]";
    QTest::newRow("brackets the wrong way round")
        << QStringList{"A]1[.pdf"} << rename << "A]1[" << "pdf" << "A』1『";
    QTest::newRow("more digits past 999")
        << QStringList{"A[999].pdf"} << rename << "A[999]" << "pdf" << "A[1000]";
    QTest::newRow("counter at the largest number: kept as text, counted again")
        << QStringList{"A[9223372036854775807].pdf"} << rename << "A[9223372036854775807]" << "pdf"
        << "A『9223372036854775807』";
    QTest::newRow("counter just below the bound: counted again past it")
        << QStringList{"A[999999998].pdf"} << rename << "A[999999998]" << "pdf" << "A『999999998』[001]";
    QTest::newRow("no type") << QStringList{"A"} << rename << "A" << "" << "A[001]";
    QTest::newRow("same base with another type is free") << QStringList{"A.caj"} << rename << "A" << "pdf" << "A";
    QTest::newRow("a name that is only a counter is counted")
        << QStringList{"[ 0]"} << rename << "[ 0]" << "" << "[001]";
    QTest::newRow("a counter-only name continues its counter")
        << QStringList{"[002].pdf", "[003].pdf"} << rename << "[002]" << "pdf" << "[004]";
    QTest::newRow("a folder of that name is no file") << QStringList{"A.pdf/"} << rename << "A" << "pdf" << "A";
    QTest::newRow("overwrite keeps the taken path")
        << QStringList{"A[7].pdf"} << SameNamePolicy::Overwrite << "A[7]" << "pdf" << "A[7]";
    QTest::newRow("skip rule renames like rename")
        << QStringList{"A.pdf"} << SameNamePolicy::Skip << "A" << "pdf" << "A[001]";
}
// clang-format on

void TestNaming::renameSavePath()
{
    QFETCH(QStringList, existing);
    QFETCH(SameNamePolicy, policy);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, expected);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    makeEntries(temp.path(), existing);
    const QString expectedPath = temp.path() + '/' + (type.isEmpty() ? expected : expected + '.' + type);

    // The folder is taken with or without its closing separator.
    for (const QString &folder : {temp.path(), temp.path() + '/'}) {
        const SavePath save = renamedSavePath(folder, name, type, policy);
        QCOMPARE(save.name, expected);
        QCOMPARE(save.path, expectedPath);
    }
}

// clang-format off
void TestNaming::fallbackName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("name");
    QTest::newRow("link ending in a slash: its last segment") << "http://arc.example.org/a/paper/" << "paper";
    QTest::newRow("segments that clean to nothing are passed over") << "http://arc.example.org/a/%3F%3F/" << "a";
    QTest::newRow("no segment: the host") << "http://arc.example.org/" << "arc.example.org";
    QTest::newRow("query only: the host") << "http://arc.example.org?id=1" << "arc.example.org";
}
// clang-format on

// A name that cleans to nothing gets one from the link, so no file is ever
// called ".pdf".
void TestNaming::fallbackName()
{
    QFETCH(QString, url);
    QFETCH(QString, name);
    QCOMPARE(FallbackFileName(url), name);
}

// clang-format off
void TestNaming::uniqueFilePath_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    const QString long200 = QString(200, 'b');
    const QString long100 = QString(100, 'b');

    QTest::newRow("free path is kept") << QStringList() << "x.pdf" << "x.pdf";
    QTest::newRow("first counter has four digits") << QStringList{"x.pdf"} << "x.pdf" << "x[0001].pdf";
    QTest::newRow("taken counters are passed over")
        << QStringList{"x.pdf", "x[0001].pdf"} << "x.pdf" << "x[0002].pdf";
    QTest::newRow("counter at the end is dropped") << QStringList{"x[0003].pdf"} << "x[0003].pdf" << "x.pdf";
    QTest::newRow("short counter at the end is dropped")
        << QStringList{"x[3].pdf", "x.pdf"} << "x[3].pdf" << "x[0001].pdf";
    QTest::newRow("counter before other text is kept")
        << QStringList{"x[3] a.pdf"} << "x[3] a.pdf" << "x[3] a[0001].pdf";
    QTest::newRow("bracketed text that is no counter")
        << QStringList{"x[a].pdf"} << "x[a].pdf" << "x[a][0001].pdf";
    QTest::newRow("only the last dot splits the type")
        << QStringList{"x.tar.gz"} << "x.tar.gz" << "x.tar[0001].gz";
    QTest::newRow("no type") << QStringList{"x"} << "x" << "x[0001]";
    QTest::newRow("long base cut to 100 characters")
        << QStringList{long200 + ".pdf"} << long200 + ".pdf" << long100 + ".pdf";
    QTest::newRow("cut base counted when also taken")
        << QStringList{long200 + ".pdf", long100 + ".pdf"} << long200 + ".pdf" << long100 + "[0001].pdf";
    QTest::newRow("a name that is only a counter keeps it")
        << QStringList{"[ 0]"} << "[ 0]" << "[ 0][0001]";
    QTest::newRow("a counter-only name with a type keeps it")
        << QStringList{"[0003].pdf"} << "[0003].pdf" << "[0003][0001].pdf";
    QTest::newRow("a folder of that name is no file")
        << QStringList{"x.pdf", "x[0001].pdf/"} << "x.pdf" << "x[0001].pdf";
}
// clang-format on

void TestNaming::uniqueFilePath()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, path);
    QFETCH(QString, expected);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    makeEntries(temp.path(), existing);
    QCOMPARE(UniqueFilePath(temp.path() + '/' + path), temp.path() + '/' + expected);
}

// clang-format off
void TestNaming::needsDownload_data()
{
    QTest::addColumn<SameNamePolicy>("policy");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("expected");

    QTest::newRow("skip, file exists") << SameNamePolicy::Skip << true << false;
    QTest::newRow("skip, no file") << SameNamePolicy::Skip << false << true;
    QTest::newRow("overwrite, file exists") << SameNamePolicy::Overwrite << true << true;
    QTest::newRow("rename, file exists") << SameNamePolicy::Rename << true << true;
}
// clang-format on

void TestNaming::needsDownload()
{
    QFETCH(SameNamePolicy, policy);
    QFETCH(bool, fileExists);
    QFETCH(bool, expected);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    if (fileExists) {
        QFile file(temp.path() + "/A.pdf");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(1234, 'x'));
    }

    DownloadItem item;
    item.Url = "http://h/A.pdf";
    item.Name = "A";
    item.Type = "pdf";
    item.Folder = temp.path();
    item.Size = ItemSize::ofBytes(5000);
    const DownloadItem before = item;

    QCOMPARE(isDownloadNeeded(item, policy), expected);
    if (expected) {
        QCOMPARE(item.State, before.State);
        QCOMPARE(item.Size, before.Size);
        QCOMPARE(item.Downloaded, before.Downloaded);
        QCOMPARE(item.Progress, before.Progress);
    } else {
        QCOMPARE(item.State, Finished);
        QCOMPARE(SizeText(item.Size), QString("1234"));
        QCOMPARE(DownloadedText(item.Downloaded), QString("1234"));
        QCOMPARE(ProgressText(item.Progress), QString("已存在，跳过"));
    }
}

QTEST_GUILESS_MAIN(TestNaming)
#include "tst_naming.moc"
