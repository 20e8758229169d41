// The cache viewer's rules without a window: the entry file reader, the
// listings of the cache and of the users' cache folders, writing bodies out,
// deleting (never through a link) and sorting.
#include "cache_viewer/CacheListing.h"
#include "cache_viewer/SimpleCacheFile.h"
#include "cache_viewer/UrlCache.h"
#include "tests/cache_viewer/EntryBytes.h"
#include "tests/support/FileHelpers.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestCacheListing : public QObject
{
    Q_OBJECT

private slots:
    void urlFileType_data();
    void urlFileType();
    void entryFileReader();
    void damagedEntryFilesAreNoEntries();
    void listingWritesNothing();
    void bodiesWrittenOutOnDemandAndDeleted();
    void writtenOutBodiesNeverThroughALink();
    void listingInSteps();
    void collectListsParentsFirst();
    void usersCacheFoldersAndFiles();
    void deleteKeepsTxtAndCookieRows();
    void emptyFoldersGoDeepestFirst();
    void clearCachesCountsWhatStayed();
    void sizeSortsByValue();
    void layoutOfThisSystem_data();
    void layoutOfThisSystem();
};

namespace {

// A cache folder with two entries named a.pdf under two addresses, a damaged
// entry file and the cache's index: the browser's layout "Cache/Cache_Data".
struct SmallCache
{
    QTemporaryDir dir;
    QString data = dir.filePath("cache/Cache/Cache_Data");
    QByteArray pdf = "%PDF-1.4\n" + QByteArray(5000, 'p');
    bool ok = QDir().mkpath(data)
              && writeFile(data + "/00000000000000a1_0", CacheEntryBytes("1/0/http://h/p/a.pdf?x=1", pdf))
              && writeFile(data + "/00000000000000a1_s", "sparse")
              && writeFile(data + "/00000000000000b2_0", CacheEntryBytes("1/0/http://h/q/a.pdf", "other"))
              && writeFile(data + "/00000000000000c3_0", "not an entry") && writeFile(data + "/index", "index");
    QString exportFolder = dir.filePath("out");
    UrlCache urls{dir.filePath("cache"), exportFolder};
};

// Every file and folder below the folder, relative, sorted.
QStringList everythingBelow(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(QDir(folder).relativeFilePath(it.next()));
    found.sort();
    return found;
}

} // namespace

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

// Listing the cache and filling in the local files reads the entries and
// writes nothing: the size is the body's, the path where it would go.
void TestCacheListing::listingWritesNothing()
{
    SmallCache cache;
    QVERIFY(cache.ok);
    const QStringList before = everythingBelow(cache.dir.path());

    bool ok = false;
    QList<CacheRow> rows = GetCacheURLList(cache.urls, &ok);
    QVERIFY(ok);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].caption, QStringLiteral("http://h/p/a.pdf?x=1"));
    QCOMPARE(rows[0].type, QStringLiteral("pdf"));
    FillLocalFiles(rows, cache.urls);

    QCOMPARE(everythingBelow(cache.dir.path()), before);
    QCOMPARE(rows[0].size, QString::number(cache.pdf.size()));
    QCOMPARE(rows[1].size, QStringLiteral("5"));
    // Two addresses of the same name get two files.
    QCOMPARE(QFileInfo(rows[0].filePath).fileName(), QStringLiteral("a.pdf"));
    QVERIFY(rows[0].filePath.startsWith(cache.exportFolder + '/'));
    QVERIFY(rows[0].filePath != rows[1].filePath);
}

void TestCacheListing::bodiesWrittenOutOnDemandAndDeleted()
{
    SmallCache cache;
    QVERIFY(cache.ok);
    QList<CacheRow> rows = GetCacheURLList(cache.urls);
    FillLocalFiles(rows, cache.urls);

    QCOMPARE(cache.urls.writeOutBody(rows[0].caption), rows[0].filePath);
    QCOMPARE(readFile(rows[0].filePath), cache.pdf);
    QCOMPARE(cache.urls.writeOutBody(rows[1].caption), rows[1].filePath);
    QCOMPARE(readFile(rows[1].filePath), QByteArray("other"));
    QCOMPARE(cache.urls.writeOutBody("http://h/none.pdf"), QString());

    QCOMPARE(cache.urls.DeleteUrlCacheEntry(rows[0].caption), UrlCache::Removal::Removed);
    QVERIFY(!QFile::exists(cache.data + "/00000000000000a1_0") && !QFile::exists(cache.data + "/00000000000000a1_s"));
    QVERIFY(!QFile::exists(rows[0].filePath));
    QCOMPARE(cache.urls.DeleteUrlCacheEntry(rows[0].caption), UrlCache::Removal::NoEntry);
    QCOMPARE(GetCacheURLList(cache.urls).size(), 1);
    QCOMPARE(cache.urls.CacheEntryLocalFile(rows[0].caption), QString());

    // A body written out for an entry that has left the cache since goes
    // with the others the program wrote.
    QVERIFY(QFile::remove(cache.data + "/00000000000000b2_0"));
    QVERIFY(QFile::exists(rows[1].filePath));
    QCOMPARE(cache.urls.removeWrittenOut(), 0);
    QCOMPARE(everythingBelow(cache.exportFolder), QStringList());
}

// Links planted where bodies are written out are replaced, never written
// through; clearing what was written out leaves their targets alone.
void TestCacheListing::writtenOutBodiesNeverThroughALink()
{
    SmallCache cache;
    QVERIFY(cache.ok);
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim.pdf");
    QVERIFY(writeFile(victim, "victim") && QDir(elsewhere.path()).mkpath("folder"));
    QVERIFY(writeFile(elsewhere.filePath("folder/keep"), "keep"));
    QList<CacheRow> rows = GetCacheURLList(cache.urls);
    FillLocalFiles(rows, cache.urls);
    // A link at the first body's name, and a link in place of the second
    // body's folder.
    QVERIFY(QDir().mkpath(QFileInfo(rows[0].filePath).path()));
    QVERIFY(QFile::link(victim, rows[0].filePath));
    QVERIFY(QFile::link(elsewhere.filePath("folder"), QFileInfo(rows[1].filePath).path()));

    QCOMPARE(cache.urls.writeOutBody(rows[0].caption), rows[0].filePath);
    QCOMPARE(cache.urls.writeOutBody(rows[1].caption), rows[1].filePath);
    QVERIFY(!QFileInfo(rows[0].filePath).isSymLink() && !QFileInfo(QFileInfo(rows[1].filePath).path()).isSymLink());
    QCOMPARE(readFile(rows[0].filePath), cache.pdf);
    QCOMPARE(readFile(rows[1].filePath), QByteArray("other"));

    // A link inside a written-out folder goes as a link.
    QVERIFY(QFile::link(elsewhere.filePath("folder"), QFileInfo(rows[0].filePath).path() + "/planted"));
    QCOMPARE(cache.urls.removeWrittenOut(), 0);
    QCOMPARE(everythingBelow(cache.exportFolder), QStringList());
    QCOMPARE(readFile(victim), QByteArray("victim"));
    QCOMPARE(readFile(elsewhere.filePath("folder/keep")), QByteArray("keep"));
}

// The listing in steps reads the same rows as the one in a go; a linked
// entry file is passed over.
void TestCacheListing::listingInSteps()
{
    SmallCache cache;
    QVERIFY(cache.ok);
    QTemporaryDir elsewhere;
    QVERIFY(writeFile(elsewhere.filePath("00000000000000d4_0"), CacheEntryBytes("1/0/http://h/linked.pdf", "l")));
    QVERIFY(QFile::link(elsewhere.filePath("00000000000000d4_0"), cache.data + "/00000000000000d5_0"));

    CacheUrlListing listing(cache.urls);
    int steps = 0;
    while (!listing.step(1))
        ++steps;
    QVERIFY(listing.ok());
    QVERIFY(steps > 3); // at least the three entry files, one a step
    QCOMPARE(listing.rows(), GetCacheURLList(cache.urls));
    QCOMPARE(listing.rows().size(), 2);
    QVERIFY(listing.step(1));
}

// Folders and files are listed parents first; a link (to a folder, to a
// file, a loop) and a special file are neither listed nor entered.
void TestCacheListing::collectListsParentsFirst()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    QVERIFY(QDir(dir.path()).mkpath("a/a1") && QDir(dir.path()).mkpath("b"));
    QVERIFY(writeFile(dir.filePath("a/a1/f.htm"), "f") && writeFile(dir.filePath("top.txt"), "t")
            && writeFile(dir.filePath("pagefile.sys"), "p") && writeFile(dir.filePath("b/.hidden"), "h")
            && writeFile(elsewhere.filePath("other.pdf"), "o"));
    QVERIFY(QFile::link(dir.path(), dir.filePath("b/loop")));
    QVERIFY(QFile::link(elsewhere.path(), dir.filePath("b/away")));
    QVERIFY(QFile::link(elsewhere.filePath("other.pdf"), dir.filePath("a/linked.pdf")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("a/fifo")), 0600), 0);

    QString path = dir.path();
    QStringList folders;
    CollectFolders(path, folders, true);
    QCOMPARE(path, dir.path() + '/');
    QCOMPARE(folders.size(), 3);
    QVERIFY(folders.indexOf(path + "a") < folders.indexOf(path + "a/a1"));
    QVERIFY(folders.indexOf(path + "b") < folders.indexOf(path + "a/a1"));

    QStringList files;
    CollectFiles(path, files, true);
    files.sort();
    QCOMPARE(files, (QStringList{path + "a/a1/f.htm", path + "b/.hidden", path + "top.txt"}));

    QString relative = "a";
    QStringList none;
    CollectFolders(relative, none, true);
    QVERIFY(none.isEmpty());
}

// Users' cache folders are found below the root; a linked home, a link on
// the way to the cache folder, and links inside it are passed over.
void TestCacheListing::usersCacheFoldersAndFiles()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString root = dir.path() + '/';
    QVERIFY(QDir(root).mkpath("anna/.cache/web/Cache") && QDir(root).mkpath("ben/.cache/web")
            && QDir(root).mkpath("carl/docs") && QDir(root).mkpath("erin"));
    QVERIFY(writeFile(root + "anna/.cache/web/Cache/x_0", "12345") && writeFile(root + "ben/.cache/web/c.txt", "c"));
    // dave's home and erin's .cache lead elsewhere, to a cache folder of
    // their own; anna's cache holds a link to a file and one to a folder.
    QVERIFY(QDir(elsewhere.path()).mkpath("home/.cache/web/deep") && QDir(elsewhere.path()).mkpath("c/web"));
    QVERIFY(writeFile(elsewhere.filePath("home/.cache/web/deep/secret"), "s")
            && writeFile(elsewhere.filePath("c/web/secret"), "s"));
    QVERIFY(QFile::link(elsewhere.filePath("home"), root + "dave"));
    QVERIFY(QFile::link(elsewhere.filePath("c"), root + "erin/.cache"));
    QVERIFY(QFile::link(elsewhere.filePath("c/web/secret"), root + "anna/.cache/web/secret"));
    QVERIFY(QFile::link(elsewhere.filePath("home"), root + "anna/.cache/web/Cache/home"));

    const UserCaches caches = ListUserCaches({root, {"/.cache/web", "/.cache/none"}});
    QCOMPARE(caches.root, root);
    QCOMPARE(caches.profileFolders.size(), 4);
    QCOMPARE(caches.users.size(), 2);
    QList<CacheRow> rows;
    for (const UserCaches::User &user : caches.users)
        ListUserCacheFiles(user.folder, user.name, rows);
    std::sort(rows.begin(), rows.end(), [](const CacheRow &a, const CacheRow &b) { return a.filePath < b.filePath; });
    QCOMPARE(rows, (QList<CacheRow>{{"用户:anna", "", "5", root + "anna/.cache/web/Cache/x_0"},
                                    {"用户:ben", "txt", "1", root + "ben/.cache/web/c.txt"}}));
    QCOMPARE(caches.cacheFolders, QStringList{root + "anna/.cache/web/Cache"});
    QVERIFY(caches.owns(root + "anna/.cache/web/Cache/x_0"));
    QVERIFY(!caches.owns(root + "anna/.cache/web"));
    QVERIFY(!caches.owns(root + "dave/.cache/web/deep/secret"));

    QVERIFY(ListUserCaches({QString(), {"/.cache/web"}}).users.isEmpty());
}

// Deleting: txt files of all users and cookie entries stay; a link, and a
// file outside the listed cache folders, are never deleted and count as
// failures.
void TestCacheListing::deleteKeepsTxtAndCookieRows()
{
    QTemporaryDir dir;
    const QString root = dir.path() + '/';
    const QString d = root + "anna/cache/";
    QVERIFY(QDir().mkpath(d) && QDir().mkpath(root + "anna/private"));
    for (const char *name : {"a.htm", "cookie.TXT", "b.pdf", "c.pdf"})
        QVERIFY(writeFile(d + name, "x"));
    QVERIFY(writeFile(root + "anna/private/p.pdf", "p"));
    QFile::setPermissions(d + "a.htm", QFileDevice::ReadOwner);
    QTemporaryDir outside;
    const QString target = outside.filePath("kept.pdf");
    QVERIFY(writeFile(target, "k") && QFile::setPermissions(target, QFileDevice::ReadOwner));
    QVERIFY(QFile::link(target, d + "link.pdf"));
    const UrlCache urls(d + "nocache", d + "out");
    const UserCaches owned = ListUserCaches({root, {"/cache"}});
    QCOMPARE(owned.users.size(), 1);

    const DeletionCount count = DeleteRows({{"用户:anna", "pdf", "1", d + "link.pdf"},
                                            {"用户:anna", "htm", "1", d + "a.htm"},
                                            {"用户:anna", "TXT", "1", d + "cookie.TXT"},
                                            {"用户:anna", "pdf", "1", root + "anna/private/p.pdf"},
                                            {"Cookie:anna@h/", "pdf", "1", d + "b.pdf"},
                                            {"http://h/c.pdf", "pdf", "1", d + "c.pdf"}},
                                           urls, owned);

    QCOMPARE(QDir(d).entryList(QDir::Files | QDir::System, QDir::Name),
             (QStringList{"b.pdf", "c.pdf", "cookie.TXT", "link.pdf"}));
    QVERIFY(QFile::exists(root + "anna/private/p.pdf"));
    QCOMPARE(readFile(target), QByteArray("k"));
    QCOMPARE(QFile::permissions(target) & QFileDevice::WriteOwner, QFileDevice::Permissions());
    QCOMPARE(count.deleted, 1); // a.htm
    // The link; the file outside the users' cache folders; a my-cache row
    // whose file is not one the program wrote out.
    QCOMPARE(count.failed, 3);
}

// Empty folders go deepest first; a linked folder and what it points to
// keep their place and their permissions, and a folder outside the users'
// cache folders stays.
void TestCacheListing::emptyFoldersGoDeepestFirst()
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString root = dir.path() + '/';
    const QString d = root + "anna/cache/";
    QVERIFY(QDir(d).mkpath("e/e1/e2") && QDir(d).mkpath("full") && QDir(root).mkpath("anna/empty"));
    QVERIFY(writeFile(d + "full/f", "f"));
    QVERIFY(QDir(outside.path()).mkpath("locked"));
    const QFileDevice::Permissions locked = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(outside.filePath("locked"), locked));
    QVERIFY(QFile::link(outside.filePath("locked"), d + "linked"));
    UserCaches owned = ListUserCaches({root, {"/cache"}});
    QCOMPARE(owned.cacheFolders.size(), 4); // e, full, e/e1, e/e1/e2
    // As if the listing had seen them as folders.
    owned.cacheFolders.prepend(d + "linked");
    owned.cacheFolders.append(root + "anna/empty");
    owned.cacheFolders.append("");

    RemoveEmptyFolders(owned);

    QVERIFY(!QFileInfo::exists(d + "e"));
    QVERIFY(QFileInfo::exists(d + "full/f"));
    QVERIFY(QFileInfo(d + "linked").isSymLink());
    QVERIFY(QFileInfo(outside.filePath("locked")).isDir());
    QCOMPARE(QFile::permissions(outside.filePath("locked"))
                 & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner),
             locked);
    QVERIFY(QFileInfo::exists(root + "anna/empty"));
    QFile::setPermissions(outside.filePath("locked"), locked | QFileDevice::WriteOwner);
}

// Clearing both caches: the entries but cookies, every written-out body, the
// users' files but txt files; what could not be deleted is counted.
void TestCacheListing::clearCachesCountsWhatStayed()
{
    SmallCache cache;
    QVERIFY(cache.ok);
    QVERIFY(writeFile(cache.data + "/00000000000000e5_0", CacheEntryBytes("1/0/http://h/Cookie/x", "c")));
    QVERIFY(!cache.urls.writeOutBody("http://h/q/a.pdf").isEmpty());
    QVERIFY(QDir().mkpath(cache.exportFolder + "/00000000000000f6")); // left by an entry that has gone
    // Something the program cannot delete: a folder where an entry file of
    // the first entry would be.
    QVERIFY(QDir().mkpath(cache.data + "/00000000000000a1_1/inner"));

    QTemporaryDir users;
    const QString root = users.path() + '/';
    QVERIFY(QDir(root).mkpath("anna/cache/sub") && writeFile(root + "anna/cache/sub/x.htm", "x")
            && writeFile(root + "anna/cache/c.txt", "c"));

    const DeletionCount count = ClearCaches(cache.urls, {root, {"/cache"}});

    QCOMPARE(count.deleted, 2); // the second entry, x.htm
    QCOMPARE(count.failed, 1);  // the first entry
    const UrlCache again(cache.dir.filePath("cache"), cache.exportFolder);
    QStringList left;
    for (const UrlCache::Entry &entry : again.entries())
        left.append(entry.url);
    QCOMPARE(left, (QStringList{"http://h/Cookie/x"}));
    QCOMPARE(everythingBelow(cache.exportFolder), QStringList());
    QCOMPARE(everythingBelow(root + "anna/cache"), QStringList{"c.txt"});
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

// clang-format off
void TestCacheListing::layoutOfThisSystem_data()
{
    QTest::addColumn<QString>("home");     // "@" stands for a temporary folder
    QTest::addColumn<QString>("cache");
    QTest::addColumn<QString>("root");     // empty: nothing is listed
    QTest::addColumn<QString>("subPath");

    QTest::newRow("home below /home") << "/home/anna" << "/home/anna/.cache/app/Default/" << "/home/" << "/.cache/app/Default";
    QTest::newRow("cache elsewhere") << "/home/anna" << "/var/cache/app" << "" << "";
    QTest::newRow("another home of a longer name") << "/home/anna" << "/home/annabel/cache" << "" << "";
    QTest::newRow("home directly under /") << "/anna" << "/anna/.cache/app" << "" << "";
    QTest::newRow("root's home") << "/root" << "/root/.cache/app" << "" << "";
    QTest::newRow("home in a folder anyone may write to") << "@/open/anna" << "@/open/anna/cache" << "" << "";
    QTest::newRow("home that is a link") << "@/homes/link" << "@/homes/link/cache" << "" << "";
    QTest::newRow("real home in a temporary folder") << "@/homes/anna" << "@/homes/anna/cache" << "@/homes/" << "/cache";
}
// clang-format on

void TestCacheListing::layoutOfThisSystem()
{
    QFETCH(QString, home);
    QFETCH(QString, cache);
    QFETCH(QString, root);
    QFETCH(QString, subPath);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("open/anna") && QDir(dir.path()).mkpath("homes/anna"));
    QVERIFY(QFile::setPermissions(dir.filePath("open"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                            | QFileDevice::ExeOwner | QFileDevice::WriteOther
                                                            | QFileDevice::ExeOther | QFileDevice::ReadOther));
    QVERIFY(QFile::setPermissions(dir.filePath("homes"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                             | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                             | QFileDevice::ExeOther));
    QVERIFY(QFile::link(dir.filePath("homes/anna"), dir.filePath("homes/link")));
    auto place = [&](QString text) { return text.replace('@', dir.path()); };

    const UserCacheLayout layout = UserCacheLayoutFor(place(home), place(cache));
    QCOMPARE(layout.usersRoot, place(root));
    QCOMPARE(layout.subPaths, subPath.isEmpty() ? QStringList() : QStringList{subPath});
    // Nothing is listed without a root.
    if (root.isEmpty())
        QVERIFY(ListUserCaches(layout).users.isEmpty());
}

QTEST_GUILESS_MAIN(TestCacheListing)
#include "tst_cache_listing.moc"
