#include "engine/DownloadList.h"
#include "engine/EngineTexts.h"
#include "engine/FileTypeSniffer.h"
#include "engine/ItemTypeCorrection.h"
#include "tests/support/PromptRecorder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <utility>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// A file's bytes: `length` filler bytes with the given pieces written over
// them at their positions.
QByteArray fixture(int length, std::initializer_list<std::pair<int, QByteArray>> pieces, char filler = '.')
{
    QByteArray bytes(length, filler);
    for (const auto &[position, piece] : pieces)
        bytes.replace(position, piece.size(), piece);
    return bytes;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QByteArray kCompoundHeader = hex("D0CF11E0A1B11AE1");
const QByteArray kLoginPage = "<html>\r\n<head><title>Sign in</title></head>\r\n"
                              "<body><form action=\"/action/doLogin\"></form></body>\r\n</html>\r\n";
const QByteArray kPdf = "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer\n%%EOF\n";
const QByteArray kIndexFile =
    "[TARGET]\r\nA1=1\r\nA2=2\r\nB1=3\r\nB2=4\r\nC1=5\r\nC2=6\r\nD1=7\r\nD2=8\r\nDOCTYPE=9\r\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Takes away, for this thread and while it lives, the superuser's right to
// read and write files regardless of their permissions, so that a file or
// folder without permissions is as closed to the test as to a user.
class WithoutPermissionOverride
{
public:
    WithoutPermissionOverride()
    {
#ifdef Q_OS_LINUX
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &m_header, reduced) == 0;
#endif
    }
    ~WithoutPermissionOverride()
    {
#ifdef Q_OS_LINUX
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
#endif
    }
    WithoutPermissionOverride(const WithoutPermissionOverride &) = delete;
    WithoutPermissionOverride &operator=(const WithoutPermissionOverride &) = delete;

private:
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
#endif
};

DownloadItem storedItem(const QString &folder, const QString &name, const QString &type)
{
    DownloadItem item;
    item.Url = QStringLiteral("http://127.0.0.1/doi/pdf/") + name;
    item.Name = name;
    item.Type = type;
    item.Folder = folder;
    item.State = Finished;
    return item;
}

} // namespace

class TestSniffing : public QObject
{
    Q_OBJECT

private slots:
    void recognise_data();
    void recognise();
    void unusablePaths_data();
    void unusablePaths();
    void splitFileName_data();
    void splitFileName();
    void correctItemType_data();
    void correctItemType();
    void correctItemTypeKeepsItemWhenRenameFails();
    void checkCommand_data();
    void checkCommand();

private:
    QTemporaryDir m_dir;
};

// clang-format off
void TestSniffing::recognise_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type");

    // Every row of the signature table, on a file long enough for every test.
    QTest::newRow("pdf") << fixture(64, {{0, "%PDF"}}) << "pdf";
    QTest::newRow("caj") << fixture(64, {{0, hex("C8000000")}}) << "caj";
    QTest::newRow("kdh, CAJ and a zero byte") << fixture(64, {{0, hex("43414A00")}}) << "kdh";
    QTest::newRow("kdh, KDH and a blank") << fixture(64, {{0, "KDH "}}) << "kdh";
    QTest::newRow("nh") << fixture(64, {{0, hex("484E0000")}}) << "nh";
    QTest::newRow("tif") << fixture(64, {{0, hex("49492A00")}}) << "tif";
    QTest::newRow("rtf") << fixture(64, {{0, "{\\rtf1"}}) << "rtf";
    QTest::newRow("exe") << fixture(64, {{0, "MZ"}}) << "exe";
    QTest::newRow("rar") << fixture(64, {{0, "Rar!"}}) << "rar";
    QTest::newRow("zip") << fixture(64, {{0, hex("504B0304140000000800")}}) << "zip";
    QTest::newRow("docx") << fixture(64, {{0, hex("504B0304140006000800")}}) << "docx";
    QTest::newRow("other zip header") << fixture(64, {{0, hex("504B03040A0000000000")}}) << "";
    QTest::newRow("swf") << fixture(64, {{0, hex("43575306")}}) << "swf";
    QTest::newRow("rm") << fixture(64, {{0, ".RMF"}}) << "rm";
    QTest::newRow("wma") << fixture(64, {{0, hex("3026B2758E")}}) << "wma";
    QTest::newRow("mp3 with ID3 header") << fixture(64, {{0, hex("49443303")}}) << "mp3";
    QTest::newRow("png") << fixture(64, {{0, hex("89504E470D0A1A0A")}}) << "png";
    QTest::newRow("gif, GIF891 and 04") << fixture(64, {{0, hex("47494638393104")}}) << "gif";
    QTest::newRow("standard GIF89a") << fixture(64, {{0, "GIF89a"}, {6, hex("0100010080")}}) << "";
    QTest::newRow("jpg with Exif")
        << fixture(64, {{0, hex("FFD8FFE1")}, {6, "Exif"}, {12, hex("4D4D002A")}}) << "jpg";
    QTest::newRow("jpg with Exif in Intel order")
        << fixture(64, {{0, hex("FFD8FFE1")}, {6, "Exif"}, {12, hex("49492A00")}}) << "";
    QTest::newRow("jpg with JFIF") << fixture(64, {{0, hex("FFD8FFE000104A464946")}}) << "jpg";

    // The compound document header and its sub-tests.
    QTest::newRow("doc") << fixture(1024, {{0, kCompoundHeader}, {512, hex("ECA5C100")}}) << "doc";
    QTest::newRow("xls") << fixture(1024, {{0, kCompoundHeader}, {512, hex("09081000")}}) << "xls";
    QTest::newRow("ppt") << fixture(1024, {{0, kCompoundHeader}, {515, hex("F0")}}) << "ppt";
    QTest::newRow("compound header of another kind goes on to the further tests")
        << fixture(1024, {{0, kCompoundHeader}, {600, kLoginPage}}) << "htm";
    QTest::newRow("compound header in a file too short for its sub-tests")
        << fixture(500, {{0, kCompoundHeader}, {100, kLoginPage}}) << "";

    // The table comes first, and a test reaching past the buffer ends recognition.
    QTest::newRow("pdf holding a page's markers") << fixture(400, {{0, "%PDF"}, {100, kLoginPage}}) << "pdf";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("pdf of 4 bytes") << QByteArray("%PDF") << "pdf";
    QTest::newRow("exe header in 3 bytes ends at the rtf test") << QByteArray("MZ\n") << "";
    QTest::newRow("10-byte html fragment") << QByteArray("<html><b>\n") << "";
    QTest::newRow("14-byte page ends at the jpg test") << QByteArray("<html><body>\r\n") << "";
    QTest::newRow("15-byte page") << QByteArray("<html><body>\r\n\n") << "htm";
    QTest::newRow("19-byte html with body tags") << QByteArray("<html><body></body>") << "htm";

    // Web pages.
    QTest::newRow("login page") << kLoginPage << "htm";
    QTest::newRow("page in capitals") << kLoginPage.toUpper() << "htm";
    QTest::newRow("html start tag with attributes and a title")
        << QByteArray("<!DOCTYPE html>\n<html lang=\"zh-CN\"><title>Error</title>") << "htm";
    QTest::newRow("html without head, title or body") << QByteArray("<html>\n<p>Access denied</p>\n</html>\n") << "";
    QTest::newRow("head and body without html") << QByteArray("<head></head>\n<body>Access denied</body>\n") << "";
    QTest::newRow("page markers in the buffer's last bytes")
        << fixture(20000, {{10240 - 11, "<html><body"}, {10240, ">"}}) << "htm";
    QTest::newRow("page markers past the buffer") << fixture(20000, {{10241, kLoginPage}}) << "";
    QTest::newRow("page just under 200 KiB") << fixture(200 * 1024 - 1, {{0, kLoginPage}}) << "htm";
    QTest::newRow("page of 200 KiB") << fixture(200 * 1024, {{0, kLoginPage}}) << "";
    QTest::newRow("page of 3 MB") << fixture(3000000, {{0, "<html ><title>"}}) << "";

    // The audio tag in the last 128 bytes.
    QTest::newRow("audio tag") << fixture(4096, {{4096 - 128, "TAG"}}) << "mp3";
    QTest::newRow("audio tag of a 129-byte file") << fixture(129, {{1, "TAG"}}) << "mp3";
    QTest::newRow("audio tag filling a 128-byte file") << fixture(128, {{0, "TAG"}}) << "";
    QTest::newRow("audio tag one byte off") << fixture(4096, {{4096 - 127, "TAG"}}) << "";
    QTest::newRow("audio tag after a page") << fixture(1024, {{0, kLoginPage}, {1024 - 128, "TAG"}}) << "mp3";

    // The site's index file.
    QTest::newRow("index file") << kIndexFile << "caa";
    QTest::newRow("index file in lower case") << kIndexFile.toLower() << "caa";
    QTest::newRow("index file without D2=") << QByteArray(kIndexFile).replace("D2=", "D3=") << "";
    QTest::newRow("index file just under 3 KiB") << fixture(3 * 1024 - 1, {{0, kIndexFile}}, ' ') << "caa";
    QTest::newRow("index file of 3 KiB") << fixture(3 * 1024, {{0, kIndexFile}}, ' ') << "";
}
// clang-format on

void TestSniffing::recognise()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, type);

    const QString path = m_dir.filePath(QStringLiteral("recognise.bin"));
    QVERIFY(writeFile(path, content));
    QCOMPARE(detectFileType(path), type);
}

// clang-format off
void TestSniffing::unusablePaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("folder named like a pdf") << "folder.pdf";
    QTest::newRow("unreadable file") << "unreadable";
}
// clang-format on

void TestSniffing::unusablePaths()
{
    QFETCH(QString, kind);

    QTemporaryDir dir;
    const QString path = dir.filePath(kind);
    if (kind.startsWith(QLatin1String("folder")))
        QVERIFY(QDir(dir.path()).mkdir(kind));
    if (kind == QLatin1String("unreadable")) {
        QVERIFY(writeFile(path, kPdf));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }

    WithoutPermissionOverride closed;
    if (kind == QLatin1String("unreadable")) {
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this system lets the test read a file without read permission");
    }
    QCOMPARE(detectFileType(path), QString());
}

// clang-format off
void TestSniffing::splitFileName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("base");

    QTest::newRow("path with folders") << "/home/user/papers/x.pdf" << "pdf" << "x";
    QTest::newRow("last dot splits") << "papers/archive.tar.gz" << "gz" << "archive.tar";
    QTest::newRow("no dot") << "/home/user/papers/README" << "" << "README";
    QTest::newRow("dot only in the folder") << "/home/user/v1.2/README" << "" << "README";
    QTest::newRow("six-character extension") << "/p/x.abcdef" << "abcdef" << "x";
    QTest::newRow("seven-character extension belongs to the name") << "/p/AIAA 2016.0123456" << ""
                                                                      << "AIAA 2016.0123456";
    QTest::newRow("blanks trimmed") << "/p/ Flow study .pdf " << "pdf" << "Flow study";
    QTest::newRow("counter in the name") << "/p/x[0001].htm" << "htm" << "x[0001]";
    QTest::newRow("Chinese name") << "/p/超声速进气道.caj" << "caj" << "超声速进气道";
    QTest::newRow("empty") << "" << "" << "";
}
// clang-format on

void TestSniffing::splitFileName()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QFETCH(QString, base);

    const FileNameParts parts = SplitFileName(path);
    QCOMPARE(parts.extension, extension);
    QCOMPARE(parts.base, base);
}

// clang-format off
void TestSniffing::correctItemType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("otherFiles");
    QTest::addColumn<bool>("renamed");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("newType");

    const QStringList none;
    QTest::newRow("login page stored as x.pdf")
        << "x" << "pdf" << true << kLoginPage << none << true << "x" << "htm";
    QTest::newRow("login page when x.htm exists")
        << "x" << "pdf" << true << kLoginPage << QStringList{"x.htm"} << true << "x[0001]" << "htm";
    QTest::newRow("login page when x.htm and x[0001].htm exist")
        << "x" << "pdf" << true << kLoginPage << QStringList{"x.htm", "x[0001].htm"} << true << "x[0002]" << "htm";
    QTest::newRow("page of type html") << "x" << "html" << true << kLoginPage << none << true << "x" << "htm";
    QTest::newRow("pdf for a type to be found") << "x" << "xxx" << true << kPdf << none << true << "x" << "pdf";
    QTest::newRow("pdf stored without extension") << "x" << "" << true << kPdf << none << true << "x" << "pdf";
    QTest::newRow("pdf already typed PDF") << "x" << "PDF" << true << kPdf << none << false << "x" << "PDF";
    QTest::newRow("unrecognised content") << "x" << "pdf" << true << QByteArray(64, 'z') << none << false << "x"
                                          << "pdf";
    QTest::newRow("no stored file") << "x" << "pdf" << false << QByteArray() << none << false << "x" << "pdf";
    QTest::newRow("name ending with a blank keeps its file")
        << "x " << "pdf" << true << kLoginPage << none << true << "x " << "htm";
    QTest::newRow("Chinese name with a dot")
        << "超声速进气道 v1.2" << "pdf" << true << kLoginPage << none << true << "超声速进气道 v1.2" << "htm";
}
// clang-format on

void TestSniffing::correctItemType()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(bool, stored);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, otherFiles);
    QFETCH(bool, renamed);
    QFETCH(QString, newName);
    QFETCH(QString, newType);

    QTemporaryDir dir;
    for (const QString &other : otherFiles)
        QVERIFY(writeFile(dir.filePath(other), "other"));
    DownloadItem item = storedItem(dir.path(), name, type);
    const QString oldPath = ItemFilePath(item);
    if (stored)
        QVERIFY(writeFile(oldPath, content));

    QCOMPARE(CorrectItemType(item), renamed);
    QCOMPARE(item.Name, newName);
    QCOMPARE(item.Type, newType);
    if (stored) {
        QFile file(ItemFilePath(item));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(ItemFilePath(item)));
        QCOMPARE(file.readAll(), content);
        QCOMPARE(QFile::exists(oldPath), !renamed);
    }
    for (const QString &other : otherFiles) {
        QFile file(dir.filePath(other));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("other"));
    }
}

void TestSniffing::correctItemTypeKeepsItemWhenRenameFails()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("closed"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("closed")));
    DownloadItem item = storedItem(folder, QStringLiteral("x"), QStringLiteral("pdf"));
    QVERIFY(writeFile(ItemFilePath(item), kLoginPage));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    bool corrected = false;
    {
        WithoutPermissionOverride closed;
        if (QFile(folder + QStringLiteral("/probe")).open(QIODevice::WriteOnly))
            QSKIP("this system lets the test write into a folder without write permission");
        corrected = CorrectItemType(item);
    }
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

    QVERIFY(!corrected);
    QCOMPARE(item.Name, QString("x"));
    QCOMPARE(item.Type, QString("pdf"));
    QVERIFY(QFile::exists(ItemFilePath(item)));
    QVERIFY(!QFile::exists(folder + QStringLiteral("/x.htm")));
}

// clang-format off
void TestSniffing::checkCommand_data()
{
    QTest::addColumn<bool>("busy");
    // Stored content of each row (all of type "pdf"); a null array: no file.
    QTest::addColumn<QList<QByteArray>>("contents");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("typesAfter");

    QTest::newRow("downloading busy") << true << QList<QByteArray>{kLoginPage}
                                      << QStringList{"停止下载以后，才能执行此操作！"} << QStringList{"pdf"};
    QTest::newRow("empty list") << false << QList<QByteArray>{} << QStringList{} << QStringList{};
    QTest::newRow("every file right") << false << QList<QByteArray>{kPdf, kPdf} << QStringList{"纠正文件类型：0个."}
                                      << QStringList{"pdf", "pdf"};
    QTest::newRow("pages among documents and a missing file")
        << false << QList<QByteArray>{kPdf, kLoginPage, QByteArray(), kLoginPage, kIndexFile}
        << QStringList{"纠正文件类型：3个."} << QStringList{"pdf", "htm", "pdf", "htm", "caa"};
}
// clang-format on

void TestSniffing::checkCommand()
{
    QFETCH(bool, busy);
    QFETCH(QList<QByteArray>, contents);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, typesAfter);

    QTemporaryDir dir;
    DownloadList list;
    for (int row = 0; row < contents.size(); ++row) {
        const DownloadItem item = storedItem(dir.path(), QStringLiteral("paper%1").arg(row), QStringLiteral("pdf"));
        if (!contents[row].isNull())
            QVERIFY(writeFile(ItemFilePath(item), contents[row]));
        QVERIFY(list.addItem(item));
    }
    QSignalSpy changes(&list, &DownloadList::dataChanged);
    PromptRecorder prompts;

    const std::optional<int> corrected = CheckAndCorrectFileTypes(list, busy, prompts);

    QCOMPARE(prompts.messageTexts(), messages);
    for (const PromptRecorder::Record &record : prompts.records) {
        QVERIFY(record.title.isEmpty());
        QCOMPARE(record.icon, PromptIcon::Information);
        QCOMPARE(record.buttons, PromptButtons::Ok);
    }
    int renamedRows = 0;
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        QCOMPARE(item.Type, typesAfter[row]);
        QCOMPARE(item.Name, QStringLiteral("paper%1").arg(row));
        if (!contents[row].isNull())
            QVERIFY2(QFile::exists(ItemFilePath(item)), qPrintable(ItemFilePath(item)));
        renamedRows += item.Type != QLatin1String("pdf");
    }
    QCOMPARE(changes.size(), renamedRows);
    QCOMPARE(corrected, busy ? std::nullopt : std::optional<int>(renamedRows));
}

QTEST_GUILESS_MAIN(TestSniffing)
#include "tst_sniffing.moc"
