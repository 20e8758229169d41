#pragma once

class QNetworkAccessManager;
class QWebEngineProfile;

// The one cookie store of the program. The browser keeps its cookies in its
// profile; the transfers send the cookies of their network manager's jar.
// attach() mirrors the profile's cookies into that jar, those known already
// and every one the profile adds or removes later, so that a login in the
// browser applies to the downloads.
//
// The profile reports a cookie once, when it is set (or loaded from disk),
// so the cookies are recorded from the first attach to a profile on: attach
// a profile before it loads a page. A network manager attached later gets
// every cookie recorded until then.
//
// The mirror lasts as long as both the profile and the network manager; the
// jar is looked up at each change, so a jar set on the manager later is
// kept in step from then on.
class SharedCookies
{
public:
    static void attach(QWebEngineProfile *profile, QNetworkAccessManager &network);
};
