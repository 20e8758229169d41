// The whole login road, as a user meets it: a protected document arrives
// as a login page, the login panel logs in by itself, the engine downloads
// the row again, and the document arrives, because the browser's cookie now
// travels with the transfer. Real browser, real engine, real transfers over
// 127.0.0.1, the real clock.
#include "browser/SharedCookies.h"
#include "browser/WebBrowser.h"
#include "common/SessionSettings.h"
#include "download_window/LoginPanel.h"
#include "engine/DownloadEngine.h"
#include "platform/Clock.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/SoundRecorder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>

namespace {
constexpr int kWaitMs = 40000;
}

class TestLoginRoad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void protectedDocumentAfterAutomaticLogin_data();
    void protectedDocumentAfterAutomaticLogin();

private:
    FixtureSite m_site;
};

void TestLoginRoad::initTestCase()
{
    QVERIFY(m_site.start());
}

// clang-format off
void TestLoginRoad::protectedDocumentAfterAutomaticLogin_data()
{
    QTest::addColumn<int>("method");
    QTest::newRow("single connection") << 1;
    QTest::newRow("parallel workers") << 2;
}
// clang-format on

void TestLoginRoad::protectedDocumentAfterAutomaticLogin()
{
    QFETCH(int, method);
    m_site.clearRequests();

    // The program's one cookie store: the panel's profile mirrored into the
    // jar of the engine's network manager, before any page is loaded.
    QWebEngineProfile profile;
    QNetworkAccessManager network;
    SharedCookies::attach(&profile, network);

    SessionSettings settings;
    settings.DownloadMethod = DownloadMethodFromNumber(method);
    settings.MaxFileSizeMB = 100;
    SystemClock clock;
    PromptRecorder prompts;
    SoundRecorder sounds;
    DownloadEngine engine(settings, clock, prompts, sounds, network);
    engine.options().soundOn = true;
    engine.options().autoRetry = true;
    engine.options().autoRetryChoice = AutoRetryChoice::WebPageItems;

    auto panel = std::make_unique<LoginPanel>(prompts, clock, &profile);
    panel->attachEngine(engine);
    panel->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(m_site.url("/signin?form=standard"));
    panel->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("reader"));
    panel->findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("secret"));
    panel->findChild<QCheckBox *>(QStringLiteral("Check2"))->setChecked(true);
    QVERIFY(engine.options().autoLogin);

    QTemporaryDir folder;
    DownloadItem item;
    item.Url = m_site.url("/protected.pdf");
    item.Name = QStringLiteral("paper");
    item.Type = QStringLiteral("pdf");
    item.Folder = folder.path();
    QVERIFY(engine.list().addItem(item));

    QStringList endedTypes;
    connect(&engine, &DownloadEngine::transferEnded, this, [&] { endedTypes.append(engine.list().at(0).Type); });
    engine.start();

    QVERIFY(QTest::qWaitFor([&] { return endedTypes.contains(QStringLiteral("pdf")); }, kWaitMs));
    QCOMPARE(endedTypes.first(), QStringLiteral("htm"));
    QVERIFY(sounds.numbers().contains(101));

    // The panel filled and posted the site's form.
    const QList<FixtureSite::Request> posts = m_site.requestsTo("/signin-submit");
    QVERIFY(!posts.isEmpty());
    QVERIFY(posts.first().body.contains("UserName=reader"));

    // The first request went without the cookie, the one that brought the
    // document with it.
    const QList<FixtureSite::Request> fetches = m_site.requestsTo("/protected.pdf");
    QVERIFY(fetches.size() >= 2);
    QVERIFY(!fetches.first().header("Cookie").contains("session=ok"));
    QVERIFY(fetches.last().header("Cookie").contains("session=ok"));

    const DownloadItem &arrived = engine.list().at(0);
    QCOMPARE(arrived.State, Finished);
    QFile file(ItemFilePath(arrived));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(4).startsWith("%PDF"));
    QVERIFY(prompts.records.isEmpty());

    engine.stop();
    panel->stopTimers();
    panel.reset(); // the page goes before its profile
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestLoginRoad test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_login_road.moc"
