#include "tests/cache_viewer/CacheMaker.h"
#include "cache_viewer/UrlCache.h"
#include "tests/support/FixtureSite.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <algorithm>
#include <memory>

void AddPaperRoute(FixtureSite &site, const QByteArray &path, qint64 size)
{
    site.addRoute(path, [size](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/pdf")));
        response.body = FixtureSite::pdfBody(size);
        return response;
    });
}

QString MakeBrowserCache(const QString &storageFolder, const QStringList &addresses)
{
    QString cacheFolder;
    {
        QWebEngineProfile profile(QStringLiteral("cachetest"));
        profile.setPersistentStoragePath(storageFolder + QStringLiteral("/storage"));
        profile.setCachePath(storageFolder + QStringLiteral("/cache"));
        profile.setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        cacheFolder = profile.cachePath();
        auto page = std::make_unique<QWebEnginePage>(&profile);
        for (const QString &address : addresses) {
            QSignalSpy loaded(page.get(), &QWebEnginePage::loadFinished);
            // A page of the same site fetches the address and waits for the
            // whole body, so any document type lands in the cache.
            const QString html = QStringLiteral("<html><body><script>fetch('%1').then(r => r.arrayBuffer()).then(b => "
                                                "{document.title = 'done ' + b.byteLength;});</script></body></html>")
                                     .arg(address);
            page->setHtml(html, QUrl(address));
            if (!loaded.wait(20000))
                return QString();
            if (!QTest::qWaitFor([&] { return page->title().startsWith(QStringLiteral("done")); }, 20000))
                return QString();
        }
        page.reset();
    }
    // The cache writes its entries from its own thread, also after the
    // profile has gone: wait until each address is listed as a complete entry.
    const QTemporaryDir exports;
    const UrlCache cache(cacheFolder, exports.path());
    const auto allListed = [&] {
        QStringList listed;
        for (const UrlCache::Entry &entry : cache.entries())
            listed.append(entry.url);
        return std::all_of(addresses.cbegin(), addresses.cend(),
                           [&](const QString &address) { return listed.contains(address); });
    };
    if (!QTest::qWaitFor(allListed, 20000))
        return QString();
    return cacheFolder;
}
