// The cache viewer's rules without a window: the entry file reader, the
// listings of the cache and of the users' cache folders, deleting and sorting.
#include "cache_viewer/CacheListing.h"
#include "cache_viewer/SimpleCacheFile.h"
#include "cache_viewer/UrlCache.h"
#include "tests/cache_viewer/EntryBytes.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCacheListing : public QObject
{
    Q_OBJECT

private slots:
    void urlFileType_data();
    void urlFileType();
    void entryFileReader();
    void damagedEntryFilesAreNoEntries();
    void entriesWriteOutAndDelete();
    void collectListsParentsFirst();
    void usersCacheFoldersAndFiles();
    void deleteKeepsTxtAndCookieRows();
    void emptyFoldersGoDeepestFirst();
    void sizeSortsByValue();
    void layoutOfThisSystem();
};

// clang-format off
void TestCacheListing::urlFileType_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");

    QTest::newRow("query after the name") << "http://x.org/a/paper.pdf?x=1" << "pdf";
    QTest::newRow("script with a query") << "http://x.org/download.aspx?id=5" << "aspx";
    QTest::newRow("no dot") << "http://x.org/a/document" << "";
    QTest::newRow("seven characters") << "http://x.org/a/file.torrent" << "";
    QTest::newRow("six characters") << "http://x.org/a/file.abcdef" << "abcdef";
    QTest::newRow("file path with a counter") << "/cache/ABCD/report[1].htm" << "htm";
    QTest::newRow("backslashes") << "C:\\cache\\ABCD\\report[1].htm" << "htm";
    QTest::newRow("fragment") << "http://x.org/p.html#top.x" << "html";
    QTest::newRow("address inside an address") << "http://a.org/go.php?u=http://b.org/x.pdf" << "php";
    QTest::newRow("dot in the host only") << "http://x.org/" << "";
    QTest::newRow("blanks trimmed") << "/d/a. pdf " << "pdf";
    QTest::newRow("empty") << "" << "";
}
// clang-format on

void TestCacheListing::urlFileType()
{
    QFETCH(QString, text);
    QTEST(UrlFileType(text), "type");
}

void TestCacheListing::entryFileReader()
{
    const QByteArray body = "%PDF-1.4\nbody";
    const auto plain = ParseCacheEntry(CacheEntryBytes("1/0/http://h/a.pdf", body));
    QVERIFY(plain);
    QCOMPARE(plain->url, QStringLiteral("http://h/a.pdf"));
    QCOMPARE(plain->bodySize, body.size());
    QCOMPARE(plain->bodyOffset, 24 + 18);

    // A key with the site it was loaded for ends in the address.
    const auto keyed = ParseCacheEntry(CacheEntryBytes("1/0/_dk_http://h http://h http://h/b.pdf", QByteArray()));
    QVERIFY(keyed);
    QCOMPARE(keyed->url, QStringLiteral("http://h/b.pdf"));
    QCOMPARE(keyed->bodySize, 0);
}

// Every cut of a good file, and files whose lengths point elsewhere, read as
// no entry: never a crash and never a read past the end.
void TestCacheListing::damagedEntryFilesAreNoEntries()
{
    const QByteArray good = CacheEntryBytes("1/0/http://h/a.pdf", QByteArray(300, 'b'));
    for (int length = 0; length < good.size(); ++length)
        QVERIFY2(!ParseCacheEntry(good.left(length)), qPrintable(QString::number(length)));

    auto patched = [&](int at, quint32 value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    const int size = int(good.size());
    QVERIFY(!ParseCacheEntry(patched(0, 0)));                  // first magic
    QVERIFY(!ParseCacheEntry(patched(12, 0xffffffffu)));       // key longer than the file
    QVERIFY(!ParseCacheEntry(patched(12, 0)));                 // no key
    QVERIFY(!ParseCacheEntry(patched(size - 8, 0x7fffffff)));  // headers longer than the file
    QVERIFY(!ParseCacheEntry(patched(size - 8, 0xffffffffu))); // negative headers length
    QVERIFY(!ParseCacheEntry(patched(size - 16, 0)));          // no key hash: records shift
    QVERIFY(!ParseCacheEntry(patched(size - 24, 0)));          // last magic
    QVERIFY(!ParseCacheEntry(QByteArray(good.size(), '\0')));

    // Any single changed byte: an entry read from it lies inside the file.
    for (int at = 0; at < size; ++at) {
        for (const char value : {'\0', '\x7f', '\xff'}) {
            QByteArray bytes = good;
            bytes[at] = value;
            if (const auto entry = ParseCacheEntry(bytes))
                QVERIFY(entry->bodyOffset >= 24 && entry->bodyOffset + entry->bodySize <= size);
        }
    }
}

void TestCacheListing::entriesWriteOutAndDelete()
{
    QTemporaryDir dir;
    const QString cache = dir.filePath("cache/Cache/Cache_Data");
    QVERIFY(QDir().mkpath(cache));
    const QByteArray pdf = "%PDF-1.4\n" + QByteArray(5000, 'p');
    QVERIFY(writeFile(cache + "/00000000000000a1_0", CacheEntryBytes("1/0/http://h/p/a.pdf?x=1", pdf)));
    QVERIFY(writeFile(cache + "/00000000000000a1_s", "sparse"));
    QVERIFY(writeFile(cache + "/00000000000000b2_0", CacheEntryBytes("1/0/http://h/q/a.pdf", "other")));
    QVERIFY(writeFile(cache + "/00000000000000c3_0", "not an entry"));
    QVERIFY(writeFile(cache + "/index", "index"));
    const UrlCache urls(dir.filePath("cache"), dir.filePath("out"));

    bool ok = false;
    QList<CacheRow> rows = GetCacheURLList(urls, &ok);
    QVERIFY(ok);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].caption, QStringLiteral("http://h/p/a.pdf?x=1"));
    QCOMPARE(rows[0].type, QStringLiteral("pdf"));

    FillLocalFiles(rows, urls);
    // Two addresses of the same name get two files.
    QCOMPARE(QFileInfo(rows[0].filePath).fileName(), QStringLiteral("a.pdf"));
    QVERIFY(rows[0].filePath != rows[1].filePath);
    QCOMPARE(readFile(rows[0].filePath), pdf);
    QCOMPARE(rows[0].size, QString::number(pdf.size()));
    QCOMPARE(readFile(rows[1].filePath), QByteArray("other"));

    QVERIFY(urls.DeleteUrlCacheEntry(rows[0].caption));
    QVERIFY(!QFile::exists(cache + "/00000000000000a1_0") && !QFile::exists(cache + "/00000000000000a1_s"));
    QVERIFY(!QFile::exists(rows[0].filePath));
    QVERIFY(!urls.DeleteUrlCacheEntry(rows[0].caption));
    QCOMPARE(GetCacheURLList(urls).size(), 1);
    QCOMPARE(urls.CacheEntryLocalFile(rows[0].caption), QString());
}

void TestCacheListing::collectListsParentsFirst()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("a/a1") && QDir(dir.path()).mkpath("b"));
    QVERIFY(writeFile(dir.filePath("a/a1/f.htm"), "f") && writeFile(dir.filePath("top.txt"), "t")
            && writeFile(dir.filePath("pagefile.sys"), "p") && writeFile(dir.filePath("b/.hidden"), "h"));
    QVERIFY(QFile::link(dir.path(), dir.filePath("b/loop")));

    QString path = dir.path();
    QStringList folders;
    CollectFolders(path, folders, true);
    QCOMPARE(path, dir.path() + '/');
    QCOMPARE(folders.size(), 4); // a, b, then a/a1, b/loop (listed, not entered)
    QVERIFY(folders.indexOf(path + "a") < folders.indexOf(path + "a/a1"));
    QVERIFY(folders.indexOf(path + "b") < folders.indexOf(path + "a/a1"));
    QVERIFY(folders.contains(path + "b/loop"));

    QStringList files;
    CollectFiles(path, files, true);
    files.sort();
    QCOMPARE(files, (QStringList{path + "a/a1/f.htm", path + "b/.hidden", path + "top.txt"}));

    QString relative = "a";
    QStringList none;
    CollectFolders(relative, none, true);
    QVERIFY(none.isEmpty());
}

void TestCacheListing::usersCacheFoldersAndFiles()
{
    QTemporaryDir dir;
    const QString root = dir.path() + '/';
    QVERIFY(QDir(root).mkpath("anna/.cache/web/Cache") && QDir(root).mkpath("ben/.cache/web")
            && QDir(root).mkpath("carl/docs"));
    QVERIFY(writeFile(root + "anna/.cache/web/Cache/x_0", "12345") && writeFile(root + "ben/.cache/web/c.txt", "c"));

    const UserCaches caches = ListUserCaches({root, {"/.cache/web", "/.cache/none"}});
    QCOMPARE(caches.profileFolders.size(), 3);
    QCOMPARE(caches.users.size(), 2);
    QList<CacheRow> rows;
    for (const UserCaches::User &user : caches.users)
        ListUserCacheFiles(user.folder, user.name, rows);
    std::sort(rows.begin(), rows.end(), [](const CacheRow &a, const CacheRow &b) { return a.filePath < b.filePath; });
    QCOMPARE(rows, (QList<CacheRow>{{"用户:anna", "", "5", root + "anna/.cache/web/Cache/x_0"},
                                    {"用户:ben", "txt", "1", root + "ben/.cache/web/c.txt"}}));
    QCOMPARE(caches.cacheFolders, QStringList{root + "anna/.cache/web/Cache"});

    QVERIFY(ListUserCaches({QString(), {"/.cache/web"}}).users.isEmpty());
}

void TestCacheListing::deleteKeepsTxtAndCookieRows()
{
    QTemporaryDir dir;
    const QString d = dir.path() + '/';
    for (const char *name : {"a.htm", "cookie.TXT", "b.pdf", "c.pdf"})
        QVERIFY(writeFile(d + name, "x"));
    QFile::setPermissions(d + "a.htm", QFileDevice::ReadOwner);
    QTemporaryDir outside;
    const QString target = outside.filePath("kept.pdf");
    QVERIFY(writeFile(target, "k") && QFile::setPermissions(target, QFileDevice::ReadOwner));
    QVERIFY(QFile::link(target, d + "link.pdf"));
    const UrlCache urls(d + "nocache", d + "out");

    DeleteRows({{"用户:anna", "pdf", "1", d + "link.pdf"},
                {"用户:anna", "htm", "1", d + "a.htm"},
                {"用户:anna", "TXT", "1", d + "cookie.TXT"},
                {"Cookie:anna@h/", "pdf", "1", d + "b.pdf"},
                {"http://h/c.pdf", "pdf", "1", d + "c.pdf"}},
               urls);

    QCOMPARE(QDir(d).entryList(QDir::Files | QDir::System, QDir::Name), (QStringList{"b.pdf", "cookie.TXT"}));
    QCOMPARE(QFile::permissions(target) & QFileDevice::WriteOwner, QFileDevice::Permissions());
}

void TestCacheListing::emptyFoldersGoDeepestFirst()
{
    QTemporaryDir dir;
    const QString d = dir.path() + '/';
    QVERIFY(QDir(d).mkpath("e/e1/e2") && QDir(d).mkpath("full"));
    QVERIFY(writeFile(d + "full/f", "f"));
    RemoveEmptyFolders({d + "e", d + "full", "", d + "e/e1", d + "e/e1/e2"});
    QVERIFY(!QFileInfo::exists(d + "e"));
    QVERIFY(QFileInfo::exists(d + "full/f"));
}

void TestCacheListing::sizeSortsByValue()
{
    QList<CacheRow> rows{{"a", "", "10", ""}, {"b", "", "9", ""}, {"c", "", "", ""}, {"d", "", "100", ""}};
    SortCacheRows(rows, 2, false);
    QStringList sizes;
    for (const CacheRow &row : rows)
        sizes.append(row.size);
    QCOMPARE(sizes, (QStringList{"", "9", "10", "100"}));
    SortCacheRows(rows, 0, true);
    QCOMPARE(rows.first().caption, QStringLiteral("d"));
}

void TestCacheListing::layoutOfThisSystem()
{
    const UserCacheLayout below = UserCacheLayoutFor("/home/anna", "/home/anna/.cache/app/Default/");
    QCOMPARE(below.usersRoot, QStringLiteral("/home/"));
    QCOMPARE(below.subPaths, QStringList{"/.cache/app/Default"});
    QVERIFY(UserCacheLayoutFor("/home/anna", "/var/cache/app").usersRoot.isEmpty());
    QVERIFY(UserCacheLayoutFor("/home/anna", "/home/annabel/cache").usersRoot.isEmpty());
}

QTEST_GUILESS_MAIN(TestCacheListing)
#include "tst_cache_listing.moc"
