// The embedded browser component in a real browser: new windows and
// window.close(), silent dialogs, script answers, the busy state, and the
// cookie store it shares with the transfers.
#include "browser/BrowserPage.h"
#include "browser/SharedCookies.h"
#include "browser/WebBrowser.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/WidgetHelpers.h"

#include <QApplication>
#include <QDialog>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>

namespace {

constexpr int kWaitMs = 20000;

} // namespace

class TestWebBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newWindowRequestStaysInTheView_data();
    void newWindowRequestStaysInTheView();
    void windowCloseIsRefused();
    void silentSuppressesDialogs_data();
    void silentSuppressesDialogs();
    void busyUntilTheLoadHasFinished();
    void addressAsTyped_data();
    void addressAsTyped();
    void scriptAnswerDroppedWhenContextIsGone();

    void profileCookiesReachTheTransfers_data();
    void profileCookiesReachTheTransfers();
    void removedCookiesLeaveTheJar();

private:
    bool load(WebBrowser &browser, const QString &pathAndQuery);
    QVariant run(WebBrowser &browser, const QString &script);
    bool hasSessionCookie(QNetworkAccessManager &network) const;

    FixtureSite m_site;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<WebBrowser> m_browser;
};

void TestWebBrowser::initTestCase()
{
    QVERIFY(m_site.start());
    m_site.addRoute("/links", [](const FixtureSite::Request &) {
        return FixtureSite::Response::htmlPage(
            "Probe", "<a id=\"blank\" href=\"/signin?form=standard\" target=\"_blank\">login</a>");
    });
}

// A fresh off-the-record profile and a browser over it for every test, so
// that no cookie and no history is carried from one test to the next.
void TestWebBrowser::init()
{
    m_profile = std::make_unique<QWebEngineProfile>();
    m_browser = std::make_unique<WebBrowser>(m_profile.get());
    m_browser->resize(800, 600);
    m_browser->show();
}

void TestWebBrowser::cleanup()
{
    m_browser.reset(); // the page goes before its profile
    m_profile.reset();
}

bool TestWebBrowser::load(WebBrowser &browser, const QString &pathAndQuery)
{
    QSignalSpy completed(&browser, &WebBrowser::documentCompleted);
    browser.navigate(m_site.url(pathAndQuery));
    return completed.wait(kWaitMs);
}

QVariant TestWebBrowser::run(WebBrowser &browser, const QString &script)
{
    QVariant value;
    bool answered = false;
    QObject context;
    browser.runScript(script, &context, [&](const QVariant &answer) {
        value = answer;
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, kWaitMs))
        return QStringLiteral("no answer");
    return value;
}

bool TestWebBrowser::hasSessionCookie(QNetworkAccessManager &network) const
{
    const QList<QNetworkCookie> cookies = network.cookieJar()->cookiesForUrl(QUrl(m_site.url("/protected.pdf")));
    for (const QNetworkCookie &cookie : cookies) {
        if (cookie.name() == "session" && cookie.value() == "ok")
            return true;
    }
    return false;
}

// A link with target=_blank and window.open load their target in the view;
// an empty target or about:blank leaves the shown page as it is. No window
// comes up either way.
// clang-format off
void TestWebBrowser::newWindowRequestStaysInTheView_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("opensTarget");

    QTest::newRow("link with target=_blank") << QStringLiteral("document.getElementById('blank').click()") << true;
    QTest::newRow("window.open of a page") << QStringLiteral("window.open('/signin?form=standard')") << true;
    QTest::newRow("window.open of nothing") << QStringLiteral("window.open('')") << false;
    QTest::newRow("window.open of about:blank") << QStringLiteral("window.open('about:blank')") << false;
}
// clang-format on

void TestWebBrowser::newWindowRequestStaysInTheView()
{
    QFETCH(QString, script);
    QFETCH(bool, opensTarget);

    QVERIFY(load(*m_browser, QStringLiteral("/links")));
    const int windows = visibleTopLevelWidgets();
    QSignalSpy completed(m_browser.get(), &WebBrowser::documentCompleted);
    run(*m_browser, script);

    if (opensTarget) {
        QVERIFY(completed.wait(kWaitMs));
        QCOMPARE(m_browser->url().path(), QStringLiteral("/signin"));
    } else {
        QVERIFY(!completed.wait(1000));
        QCOMPARE(m_browser->url().path(), QStringLiteral("/links"));
    }
    QCOMPARE(visibleTopLevelWidgets(), windows);
    QVERIFY(m_browser->isVisible());
}

// A page opened as the view's first page may close its window as far as the
// engine is concerned; the view refuses and keeps the page.
void TestWebBrowser::windowCloseIsRefused()
{
    QVERIFY(load(*m_browser, QStringLiteral("/links")));
    QSignalSpy closeRequests(m_browser->page(), &QWebEnginePage::windowCloseRequested);
    run(*m_browser, QStringLiteral("window.close()"));
    QVERIFY(closeRequests.wait(kWaitMs));

    // What the request could have set off has run by now: the calls it
    // queued and the deletions it asked for.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_browser->isVisible());
    QCOMPARE(m_browser->url().path(), QStringLiteral("/links"));
    QCOMPARE(run(*m_browser, QStringLiteral("document.title")).toString(), QStringLiteral("Probe"));
}

// Silent: the page's script goes on at once, as if the box had been
// dismissed, and no box is shown.
// clang-format off
void TestWebBrowser::silentSuppressesDialogs_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("alert") << QStringLiteral("alert('x'); 'went on'") << QVariant(QStringLiteral("went on"));
    QTest::newRow("confirm answers cancel") << QStringLiteral("confirm('x')") << QVariant(false);
    QTest::newRow("prompt answers cancel") << QStringLiteral("prompt('x', 'typed') === null") << QVariant(true);
}
// clang-format on

void TestWebBrowser::silentSuppressesDialogs()
{
    QFETCH(QString, script);
    QFETCH(QVariant, expected);

    m_browser->setSilent(true);
    QVERIFY(load(*m_browser, QStringLiteral("/links")));

    // Should a box come up after all, it is recorded and closed, so that the
    // suite fails instead of waiting for a user.
    bool boxShown = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    watch.start(50);

    // The script runs in the page's own world, where its dialogs belong.
    QVariant answer;
    bool answered = false;
    m_browser->page()->runJavaScript(script, [&](const QVariant &value) {
        answer = value;
        answered = true;
    });
    QVERIFY(QTest::qWaitFor([&] { return answered; }, kWaitMs));
    QVERIFY(!boxShown);
    QCOMPARE(answer, expected);
}

void TestWebBrowser::busyUntilTheLoadHasFinished()
{
    QSignalSpy completed(m_browser.get(), &WebBrowser::documentCompleted);
    m_site.clearRequests();
    m_browser->navigate(m_site.url(QStringLiteral("/silent")));
    // The site has the request and never answers it: the load goes on.
    QVERIFY(QTest::qWaitFor([&] { return !m_site.requestsTo("/silent").isEmpty(); }, kWaitMs));
    QVERIFY(m_browser->isBusy());
    QCOMPARE(completed.count(), 0);

    QSignalSpy titles(m_browser.get(), &WebBrowser::titleChanged);
    QVERIFY(load(*m_browser, QStringLiteral("/links")));
    QVERIFY(!m_browser->isBusy());
    QVERIFY(titles.count() >= 1);
    QCOMPARE(titles.last().at(0).toString(), QStringLiteral("Probe"));
}

// navigate() takes an address as a user types it into a browser's address
// bar; navigateExactly() adds no scheme, so an address without one names no
// page and nothing is requested.
// clang-format off
void TestWebBrowser::addressAsTyped_data()
{
    QTest::addColumn<bool>("exactly");
    QTest::addColumn<bool>("withScheme");
    QTest::addColumn<bool>("loads");

    QTest::newRow("exactly, with scheme") << true << true << true;
    QTest::newRow("exactly, without scheme") << true << false << false;
    QTest::newRow("as typed, without scheme") << false << false << true;
}
// clang-format on

void TestWebBrowser::addressAsTyped()
{
    QFETCH(bool, exactly);
    QFETCH(bool, withScheme);
    QFETCH(bool, loads);

    const QString address =
        withScheme ? m_site.url(QStringLiteral("/links")) : QStringLiteral("127.0.0.1:%1/links").arg(m_site.port());
    const qsizetype before = m_site.requestsTo("/links").size();
    QSignalSpy completed(m_browser.get(), &WebBrowser::documentCompleted);
    if (exactly)
        m_browser->navigateExactly(address);
    else
        m_browser->navigate(address);
    completed.wait(loads ? kWaitMs : 2000);
    QCOMPARE(m_site.requestsTo("/links").size() > before, loads);
    QCOMPARE(m_browser->url().path() == QLatin1String("/links"), loads);
}

void TestWebBrowser::scriptAnswerDroppedWhenContextIsGone()
{
    QVERIFY(load(*m_browser, QStringLiteral("/links")));
    QObject keeps;
    auto *goes = new QObject;
    bool keptAnswered = false;
    bool goneAnswered = false;
    m_browser->runScript(QStringLiteral("1 + 1"), goes, [&](const QVariant &) { goneAnswered = true; });
    m_browser->runScript(QStringLiteral("2 + 2"), &keeps,
                         [&](const QVariant &answer) { keptAnswered = answer.toInt() == 4; });
    delete goes;
    QVERIFY(QTest::qWaitFor([&] { return keptAnswered; }, kWaitMs));
    QVERIFY(!goneAnswered);
}

// A cookie the browser sets travels with the next request of an attached
// network manager, also of one attached after the login, once the profile
// was attached before it loaded a page.
// clang-format off
void TestWebBrowser::profileCookiesReachTheTransfers_data()
{
    QTest::addColumn<bool>("attachAfterLogin");
    QTest::newRow("manager attached before the login") << false;
    QTest::newRow("second manager attached after the login") << true;
}
// clang-format on

void TestWebBrowser::profileCookiesReachTheTransfers()
{
    QFETCH(bool, attachAfterLogin);

    QNetworkAccessManager first;
    QNetworkAccessManager second;
    SharedCookies::attach(m_profile.get(), first);
    if (!attachAfterLogin)
        SharedCookies::attach(m_profile.get(), second);
    QVERIFY(load(*m_browser, QStringLiteral("/iplogin")));
    QVERIFY(QTest::qWaitFor([&] { return hasSessionCookie(first); }, kWaitMs));
    if (attachAfterLogin)
        SharedCookies::attach(m_profile.get(), second);
    QVERIFY(QTest::qWaitFor([&] { return hasSessionCookie(second); }, kWaitMs));

    m_site.clearRequests();
    std::unique_ptr<QNetworkReply> reply(second.get(QNetworkRequest(QUrl(m_site.url("/protected.pdf")))));
    QVERIFY(QTest::qWaitFor([&] { return reply->isFinished(); }, kWaitMs));
    QVERIFY(reply->readAll().startsWith("%PDF"));
    QVERIFY(m_site.requestsTo("/protected.pdf").value(0).header("Cookie").contains("session=ok"));
}

void TestWebBrowser::removedCookiesLeaveTheJar()
{
    QNetworkAccessManager network;
    SharedCookies::attach(m_profile.get(), network);
    QVERIFY(load(*m_browser, QStringLiteral("/iplogin")));
    QVERIFY(QTest::qWaitFor([&] { return hasSessionCookie(network); }, kWaitMs));

    m_profile->cookieStore()->deleteAllCookies();
    QVERIFY(QTest::qWaitFor([&] { return !hasSessionCookie(network); }, kWaitMs));
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestWebBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_web_browser.moc"
