#include "browser/SharedCookies.h"

#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

void SharedCookies::attach(QWebEngineProfile *profile, QNetworkAccessManager &network)
{
    if (!profile)
        return;
    QWebEngineCookieStore *store = profile->cookieStore();
    QNetworkAccessManager *manager = &network;
    // The manager is the connections' context: once it is gone nothing is
    // written to its jar.
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, manager, [manager](const QNetworkCookie &cookie) {
        if (QNetworkCookieJar *jar = manager->cookieJar())
            jar->insertCookie(cookie);
    });
    QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, manager, [manager](const QNetworkCookie &cookie) {
        if (QNetworkCookieJar *jar = manager->cookieJar())
            jar->deleteCookie(cookie);
    });
    // The cookies the profile has already arrive as cookieAdded.
    store->loadAllCookies();
}
