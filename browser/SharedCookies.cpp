#include "browser/SharedCookies.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QObject>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace {

const char kRecordName[] = "SharedCookiesRecord";

// The cookies a profile holds, kept in step with its cookie store; a child
// of the store, so it lives exactly as long as the profile's cookies.
class CookieRecord final : public QObject
{
    Q_OBJECT

public:
    explicit CookieRecord(QWebEngineCookieStore *store) : QObject(store)
    {
        setObjectName(QString::fromLatin1(kRecordName));
        connect(store, &QWebEngineCookieStore::cookieAdded, this, &CookieRecord::add);
        connect(store, &QWebEngineCookieStore::cookieRemoved, this, &CookieRecord::remove);
        // Cookies kept on disk by a profile with storage arrive as cookieAdded.
        store->loadAllCookies();
    }

    const QList<QNetworkCookie> &cookies() const { return m_cookies; }

signals:
    void added(const QNetworkCookie &cookie);
    void removed(const QNetworkCookie &cookie);

private:
    void add(const QNetworkCookie &cookie)
    {
        dropSame(cookie);
        m_cookies.append(cookie);
        emit added(cookie);
    }

    void remove(const QNetworkCookie &cookie)
    {
        dropSame(cookie);
        emit removed(cookie);
    }

    void dropSame(const QNetworkCookie &cookie)
    {
        m_cookies.removeIf([&cookie](const QNetworkCookie &kept) { return kept.hasSameIdentifier(cookie); });
    }

    QList<QNetworkCookie> m_cookies;
};

CookieRecord *recordOf(QWebEngineProfile *profile)
{
    QWebEngineCookieStore *store = profile->cookieStore();
    if (auto *record = store->findChild<CookieRecord *>(QString::fromLatin1(kRecordName), Qt::FindDirectChildrenOnly))
        return record;
    return new CookieRecord(store);
}

} // namespace

void SharedCookies::attach(QWebEngineProfile *profile, QNetworkAccessManager &network)
{
    if (!profile)
        return;
    CookieRecord *record = recordOf(profile);
    QNetworkAccessManager *manager = &network;
    if (QNetworkCookieJar *jar = manager->cookieJar()) {
        for (const QNetworkCookie &cookie : record->cookies())
            jar->insertCookie(cookie);
    }
    // The manager is the connections' context: once it is gone nothing is
    // written to its jar.
    QObject::connect(record, &CookieRecord::added, manager, [manager](const QNetworkCookie &cookie) {
        if (QNetworkCookieJar *jar = manager->cookieJar())
            jar->insertCookie(cookie);
    });
    QObject::connect(record, &CookieRecord::removed, manager, [manager](const QNetworkCookie &cookie) {
        if (QNetworkCookieJar *jar = manager->cookieJar())
            jar->deleteCookie(cookie);
    });
}

#include "SharedCookies.moc"
