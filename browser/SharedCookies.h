#pragma once

class QNetworkAccessManager;
class QWebEngineProfile;

// The one cookie store of the program. The browser keeps its cookies in its
// profile; the transfers send the cookies of their network manager's jar.
// attach() mirrors the profile's cookies into that jar, those the profile
// holds already and every one it adds or removes later, so that a login in
// the browser applies to the downloads.
//
// The mirror lasts as long as both the profile and the network manager; the
// jar is looked up at each change, so a jar set on the manager later is
// kept in step from then on.
class SharedCookies
{
public:
    static void attach(QWebEngineProfile *profile, QNetworkAccessManager &network);
};
