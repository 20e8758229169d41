#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/FileTests.h"
#include "platform/SettingsStore.h"
#include "tests/support/TempSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void settingsStore_absentKeyReadsDefault();
    void settingsStore_valuesSurviveReopening();
    void settingsStore_unreadableFileReadsDefaults();
    void settingsStore_textReadsBackAsWritten_data();
    void settingsStore_textReadsBackAsWritten();
    void settingsStore_handEditedLine_data();
    void settingsStore_handEditedLine();
    void fileTests_data();
    void fileTests();
    void leftCodePageBytes_data();
    void leftCodePageBytes();
    void manualClock_movesOnlyWhenTold();
};

void TestPlatform::settingsStore_absentKeyReadsDefault()
{
    TempSettings settings;
    QCOMPARE(settings.store().GetSetting("Paperdrift", "设置", "下载方式", 2), QString("2"));
    QCOMPARE(settings.store().GetSetting("Paperdrift", "设置", "文件最大值", 2.5), QString("2.5"));
    QCOMPARE(settings.store().GetSetting("Paperdrift", "无", "无", QString("x")), QString("x"));
}

void TestPlatform::settingsStore_valuesSurviveReopening()
{
    TempSettings settings;
    settings.store().SaveSetting("Paperdrift", "专利下载", "重复文件名设置", "覆盖");
    settings.store().SaveSetting("Paperdrift", "设置", "下载文件保存路径", "/data/论文/");
    settings.store().SaveSetting("Paperdrift", "设置", "下载文件保存路径", "/data/新/");
    settings.reopen();
    QCOMPARE(settings.store().GetSetting("Paperdrift", "专利下载", "重复文件名设置", ""), QString("覆盖"));
    QCOMPARE(settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", ""), QString("/data/新/"));
    // Sections are kept apart: the same key in another section is absent.
    QCOMPARE(settings.store().GetSetting("Paperdrift", "下载", "重复文件名设置", "d"), QString("d"));
}

void TestPlatform::settingsStore_unreadableFileReadsDefaults()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x00\xff[[[=\n\x01garbage", 18));
    file.close();
    SettingsStore store(path);
    QCOMPARE(store.GetSetting("Paperdrift", "设置", "下载方式", 2), QString("2"));
}

// clang-format off
void TestPlatform::settingsStore_textReadsBackAsWritten_data()
{
    QTest::addColumn<QString>("value");

    QTest::newRow("comma in a folder") << QString("/home/u/papers, 2016/");
    QTest::newRow("only commas") << QString(",,");
    QTest::newRow("leading and trailing blanks") << QString("  /data/论文  ");
    QTest::newRow("quotes") << QString("say \"hi\", \"there\"");
    QTest::newRow("one quote") << QString("/papers/\"");
    QTest::newRow("backslashes") << QString("C:\\papers\\2016\\");
    QTest::newRow("semicolon and hash") << QString("a;b #c");
    QTest::newRow("starts with @") << QString("@Variant(x)");
    QTest::newRow("line break and tab") << QString("a\nb\tc");
    QTest::newRow("Chinese comma and equals") << QString("论文，二〇一六=新, 旧");
}
// clang-format on

void TestPlatform::settingsStore_textReadsBackAsWritten()
{
    QFETCH(QString, value);
    TempSettings settings;
    settings.store().SaveSetting("Paperdrift", "设置", "下载文件保存路径", value);
    QCOMPARE(settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "default"), value);
    settings.reopen();
    QCOMPARE(settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "default"), value);
}

// clang-format off
void TestPlatform::settingsStore_handEditedLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");

    // As the program has always written them: escaped keys, quoted commas.
    QTest::newRow("written by the program")
        << QByteArray("%U8BBE%U7F6E\\%U4E0B%U8F7D%U6587%U4EF6%U4FDD%U5B58%U8DEF%U5F84=\"/home/u/papers, 2016/\"")
        << QString("/home/u/papers, 2016/");
    QTest::newRow("unquoted comma") << QByteArray("设置\\下载文件保存路径=/home/u/papers, 2016/")
                                    << QString("/home/u/papers, 2016/");
    QTest::newRow("unquoted comma, no blank") << QByteArray("设置\\下载文件保存路径=/a,b/")
                                              << QString("/a,b/");
    QTest::newRow("quoted part beside a comma") << QByteArray("设置\\下载文件保存路径=/a, \"b, c\"")
                                                << QString("/a, b, c");
    QTest::newRow("escaped backslashes and a comma")
        << QByteArray("设置\\下载文件保存路径=C:\\\\papers, 2016\\\\") << QString("C:\\papers, 2016\\");
    QTest::newRow("typed value") << QByteArray("设置\\下载文件保存路径=@Rect(1 2 3 4)") << QString("@Rect(1 2 3 4)");
    QTest::newRow("plain, with blanks around") << QByteArray("设置\\下载文件保存路径 =  /data  ") << QString("/data");
}
// clang-format on

void TestPlatform::settingsStore_handEditedLine()
{
    QFETCH(QByteArray, line);
    TempSettings settings;
    QFile file(settings.filePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Paperdrift]\r\n%U4E13%U5229%U4E0B%U8F7D\\%U91CD%U590D%U6587%U4EF6%U540D%U8BBE%U7F6E=覆盖\r\n" + line
               + "\r\n");
    file.close();
    settings.reopen();
    QTEST(settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "default"), "value");
    QCOMPARE(settings.store().GetSetting("Paperdrift", "专利下载", "重复文件名设置", "default"), QString("覆盖"));

    // Saving another key keeps the value as it read.
    const QString before = settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "default");
    settings.store().SaveSetting("Paperdrift", "设置", "下载方式", "1");
    settings.reopen();
    QCOMPARE(settings.store().GetSetting("Paperdrift", "设置", "下载文件保存路径", "default"), before);
}

// clang-format off
void TestPlatform::fileTests_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isFile");
    QTest::addColumn<bool>("isFolder");
    QTest::newRow("plain file") << "a.pdf" << true << false;
    QTest::newRow("hidden file") << ".hidden" << true << false;
    QTest::newRow("read-only file") << "readonly.pdf" << true << false;
    QTest::newRow("folder") << "folder" << false << true;
    QTest::newRow("missing") << "missing.pdf" << false << false;
    QTest::newRow("empty path") << "" << false << false;
}
// clang-format on

void TestPlatform::fileTests()
{
    QFETCH(QString, name);
    QFETCH(bool, isFile);
    QFETCH(bool, isFolder);

    QTemporaryDir dir;
    for (const char *fileName : {"a.pdf", ".hidden", "readonly.pdf"}) {
        QFile file(dir.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("12345");
    }
    QFile::setPermissions(dir.filePath("readonly.pdf"), QFile::ReadOwner);
    QVERIFY(QDir(dir.path()).mkdir("folder"));

    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    QCOMPARE(FileExists(path), isFile);
    QCOMPARE(FolderExists(path), isFolder);
    QCOMPARE(FileLength(path), isFile ? 5 : -1);
}

// clang-format off
void TestPlatform::leftCodePageBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fits") << "abc" << 3 << "abc";
    QTest::newRow("ascii cut") << "abcdef" << 4 << "abcd";
    QTest::newRow("chinese whole characters") << "论文题目" << 6 << "论文";
    QTest::newRow("character cut in two is dropped") << "论文题目" << 7 << "论文";
    QTest::newRow("surrogate pair kept whole") << QString::fromUtf8("a\xF0\x9F\x98\x80") << 4 << "a";
    QTest::newRow("zero") << "abc" << 0 << "";
}
// clang-format on

void TestPlatform::leftCodePageBytes()
{
    QFETCH(QString, text);
    QFETCH(int, maxBytes);
    QFETCH(QString, expected);
    QCOMPARE(LeftCodePageBytes(text, maxBytes), expected);
}

void TestPlatform::manualClock_movesOnlyWhenTold()
{
    ManualClock clock(10);
    QCOMPARE(clock.seconds(), 10.0);
    clock.advance(300);
    QCOMPARE(clock.seconds(), 310.0);
    SystemClock system;
    const double first = system.seconds();
    QVERIFY(system.seconds() >= first);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
