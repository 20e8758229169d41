// The login panel PicWebBK in a real browser against the fixture site: its
// controls, the guards of 自动登录 and of a login attempt, the form filling
// and clicking, the waits (on a manual clock), opening and closing.
#include "browser/WebBrowser.h"
#include "common/ClockWait.h"
#include "common/SessionSettings.h"
#include "download_window/LoginPanel.h"
#include "download_window/LoginTexts.h"
#include "engine/DownloadEngine.h"
#include "platform/Clock.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/SoundRecorder.h"
#include "tests/support/TempSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>

namespace {

constexpr int kWaitMs = 20000;
const QString kAccount = QStringLiteral("reader");
const QString kPassword = QStringLiteral("s3cret-7f3e");

// A login panel over its own off-the-record profile, bound to an engine whose
// timers do not fire, with a manual clock and recorded prompts.
struct PanelRig
{
    explicit PanelRig(QWebEngineProfile *useProfile = nullptr)
        : profile(useProfile ? nullptr : new QWebEngineProfile),
          panel(std::make_unique<LoginPanel>(prompts, clock, useProfile ? useProfile : profile.get()))
    {
        engine.setTimersRunning(false);
        panel->attachEngine(engine);
        panel->resize(900, 600);
    }

    ~PanelRig() { panel.reset(); } // the page goes before its profile

    template <typename T>
    T *control(const char *name) const
    {
        return panel->findChild<T *>(QString::fromLatin1(name));
    }
    QLineEdit *address() const { return control<QLineEdit>("Text1"); }
    QLineEdit *account() const { return control<QLineEdit>("Text2"); }
    QLineEdit *password() const { return control<QLineEdit>("Text3"); }
    QCheckBox *autoLogin() const { return control<QCheckBox>("Check2"); }
    QCheckBox *autoRefresh() const { return control<QCheckBox>("Check1"); }
    QPushButton *browse() const { return control<QPushButton>("Command2"); }
    QPushButton *testLogin() const { return control<QPushButton>("Command5"); }
    QRadioButton *ipLogin() const { return control<QRadioButton>("Option5"); }
    QString shownPath() const { return panel->browser()->url().path(); }

    void fill(const QString &addressText, const QString &accountText, const QString &passwordText)
    {
        address()->setText(addressText);
        account()->setText(accountText);
        password()->setText(passwordText);
    }

    bool waitForStep(LoginPanel::AttemptStep step) const
    {
        return QTest::qWaitFor([this, step] { return panel->attemptStep() == step; }, kWaitMs);
    }

    // The closing pause runs exactly while the clock has not gone more than
    // five seconds past its start; "测试登录" is enabled again after it.
    bool pauseEndsAfterFiveSeconds()
    {
        if (!stillPausing())
            return false;
        clock.advance(4.5);
        if (!stillPausing())
            return false;
        return endPause(1.0);
    }

    bool stillPausing() const
    {
        return waitGoesOn("attemptWait") && panel->attemptStep() == LoginPanel::AttemptStep::Pausing
               && !testLogin()->isEnabled();
    }

    // The panel's wait of that name ("browseWait", "attemptWait") has looked
    // at the clock once more and goes on.
    bool waitGoesOn(const char *name) const
    {
        ClockWait *wait = control<ClockWait>(name);
        if (!wait || !wait->isWaiting())
            return false;
        QSignalSpy looked(wait, &ClockWait::stillWaiting);
        return looked.wait(kWaitMs) && wait->isWaiting();
    }
    bool waiting(const char *name) const { return control<ClockWait>(name) && control<ClockWait>(name)->isWaiting(); }

    bool endPause(double by = 6)
    {
        clock.advance(by);
        return waitForStep(LoginPanel::AttemptStep::Idle) && testLogin()->isEnabled();
    }

    PromptRecorder prompts;
    ManualClock clock;
    SoundRecorder sounds;
    SessionSettings settings;
    QNetworkAccessManager network;
    DownloadEngine engine{settings, clock, prompts, sounds, network};
    std::unique_ptr<QWebEngineProfile> profile;
    std::unique_ptr<LoginPanel> panel;
};

} // namespace

class TestLoginPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void controls_data();
    void controls();
    void designedStateAndKeyboard();

    void autoLoginTickGuards_data();
    void autoLoginTickGuards();
    void siteLoginGuards_data();
    void siteLoginGuards();

    void siteLoginForms_data();
    void siteLoginForms();
    void secondAttemptReturnsAtOnce();
    void attemptEndsWithoutAnswerPage();
    void stopTimersEndsTheAttempt();

    void browseWaitsForThePageOrTenSeconds_data();
    void browseWaitsForThePageOrTenSeconds();
    void openPanel_data();
    void openPanel();
    void closeAndRefresh_data();
    void closeAndRefresh();

    void passwordIsKeptNowhere();

private:
    FixtureSite m_site;
};

void TestLoginPanel::initTestCase()
{
    QVERIFY(m_site.start());
}

void TestLoginPanel::init()
{
    m_site.clearRequests();
}

// clang-format off
void TestLoginPanel::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *name, const char *className, const QString &text) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(className) << text;
    };
    row("Label6", "QLabel", LoginText::kAddressLabel);
    row("Text1", "QLineEdit", QString());
    row("Command2", "QPushButton", LoginText::kBrowse);
    row("Option4", "QRadioButton", LoginText::kAccountLogin);
    row("Text2", "QLineEdit", QString());
    row("Label10", "QLabel", LoginText::kPasswordLabel);
    row("Text3", "QLineEdit", QString());
    row("Option5", "QRadioButton", LoginText::kIpLogin);
    row("Check2", "QCheckBox", LoginText::kAutoLogin);
    row("Label11", "QLabel", LoginText::kAutoLoginConditionLabel);
    row("Combo3", "QComboBox", LoginText::kAutoLoginCondition);
    row("Check1", "QCheckBox", LoginText::kAutoRefresh);
    row("Command5", "QPushButton", LoginText::kTestLogin);
    row("Command3", "QPushButton", LoginText::kCloseHide);
    row("Web1", "WebBrowser", QString());
}
// clang-format on

void TestLoginPanel::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);

    PanelRig rig;
    QWidget *widget = rig.panel->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *line = qobject_cast<QLineEdit *>(widget))
        shown = line->text();
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        shown = combo->currentText();
    QCOMPARE(shown, text);
}

void TestLoginPanel::designedStateAndKeyboard()
{
    PanelRig rig;
    QCOMPARE(rig.panel->objectName(), QStringLiteral("PicWebBK"));
    QVERIFY(rig.panel->isHidden());
    QVERIFY(rig.control<QRadioButton>("Option4")->isChecked());
    QVERIFY(!rig.ipLogin()->isChecked());
    QVERIFY(!rig.autoLogin()->isChecked());
    QVERIFY(!rig.autoRefresh()->isChecked());
    QCOMPARE(rig.password()->echoMode(), QLineEdit::Password);
    QCOMPARE(rig.control<QComboBox>("Combo3")->count(), 1);
    QCOMPARE(rig.control<QComboBox>("Combo3")->currentIndex(), 0);
    auto *timer2 = rig.panel->findChild<QTimer *>(QStringLiteral("Timer2"));
    QVERIFY(timer2);
    QCOMPARE(timer2->interval(), 60000);
    QVERIFY(!timer2->isActive());
    QVERIFY(rig.panel->browser()->isSilent());
    QTRY_COMPARE_WITH_TIMEOUT(rig.panel->browser()->url().toString(), LoginText::kBlankPage, kWaitMs);

    // The labels name the fields they stand before.
    QCOMPARE(rig.control<QLabel>("Label6")->buddy(), rig.address());
    QCOMPARE(rig.control<QLabel>("Label10")->buddy(), rig.password());
    QCOMPARE(rig.control<QLabel>("Label11")->buddy(), rig.control<QComboBox>("Combo3"));

    // Tab reaches every control, in the order of the rows.
    const QStringList order{"Text1",  "Command2", "Option4", "Text2",    "Text3",   "Option5",
                            "Check2", "Combo3",   "Check1",  "Command5", "Command3"};
    QWidget *at = rig.address();
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget *next = at->nextInFocusChain();
        while (next != at && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next->objectName(), order[i]);
        at = next;
    }
}

// Ticking 自动登录 needs an address, and for account login an account and a
// password; otherwise the box says so and the tick is taken back, also from
// the engine's option.
// clang-format off
void TestLoginPanel::autoLoginTickGuards_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ipLogin");
    QTest::addColumn<QString>("message");

    const QString url = QStringLiteral("http://127.0.0.1/signin");
    QTest::newRow("no address") << QString() << kAccount << kPassword << false << LoginText::kAddressMissing;
    QTest::newRow("blank address, IP login") << QStringLiteral("   ") << QString() << QString() << true
                                             << LoginText::kAddressMissing;
    QTest::newRow("no password") << url << kAccount << QString() << false << LoginText::kAccountMissing;
    QTest::newRow("blank account") << url << QStringLiteral("  ") << kPassword << false
                                   << LoginText::kAccountMissing;
    QTest::newRow("account login complete") << url << kAccount << kPassword << false << QString();
    QTest::newRow("IP login needs no account") << url << QString() << QString() << true << QString();
}
// clang-format on

void TestLoginPanel::autoLoginTickGuards()
{
    QFETCH(QString, address);
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(bool, ipLogin);
    QFETCH(QString, message);

    PanelRig rig;
    rig.panel->show();
    rig.fill(address, account, password);
    rig.ipLogin()->setChecked(ipLogin);
    QTest::mouseClick(rig.autoLogin(), Qt::LeftButton);

    const bool accepted = message.isEmpty();
    QCOMPARE(rig.prompts.messageTexts(), accepted ? QStringList() : QStringList{message});
    if (!accepted)
        QCOMPARE(rig.prompts.records.first().icon, PromptIcon::Error);
    QCOMPARE(rig.autoLogin()->isChecked(), accepted);
    QCOMPARE(rig.engine.options().autoLogin, accepted);
}

// A login attempt without what it needs unticks 自动登录, with a message
// only when asked for one, and requests nothing.
// clang-format off
void TestLoginPanel::siteLoginGuards_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("showMessages");
    QTest::addColumn<QString>("message");

    QTest::newRow("no address, test login") << QString() << kPassword << true << LoginText::kAddressMissing;
    QTest::newRow("no address, automatic") << QString() << kPassword << false << QString();
    QTest::newRow("no password, test login") << QStringLiteral("/signin?form=standard") << QString() << true
                                             << LoginText::kAccountMissing;
    QTest::newRow("no password, automatic") << QStringLiteral("/signin?form=standard") << QString() << false
                                            << QString();
}
// clang-format on

void TestLoginPanel::siteLoginGuards()
{
    QFETCH(QString, address);
    QFETCH(QString, password);
    QFETCH(bool, showMessages);
    QFETCH(QString, message);

    PanelRig rig;
    rig.fill(m_site.url(QStringLiteral("/signin?form=standard")), kAccount, kPassword);
    rig.autoLogin()->setChecked(true);
    QVERIFY(rig.engine.options().autoLogin);
    rig.fill(address.isEmpty() ? QString() : m_site.url(address), kAccount, password);

    rig.panel->SiteLogin(showMessages);
    QCOMPARE(rig.prompts.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(!rig.autoLogin()->isChecked());
    QVERIFY(!rig.engine.options().autoLogin);
    QCOMPARE(rig.panel->attemptStep(), LoginPanel::AttemptStep::Idle);
    QVERIFY(rig.testLogin()->isEnabled());
    // No page was opened: opening one starts the browse wait.
    QVERIFY(!rig.waiting("browseWait"));
    QVERIFY(m_site.requestsTo("/signin").isEmpty());
}

// What a login attempt submits on each kind of page: the fields filled, the
// first submit input after two fills, or the element "submitip".
// clang-format off
void TestLoginPanel::siteLoginForms_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<bool>("ipLogin");
    QTest::addColumn<QStringList>("submitted"); // the posted fields; empty: no form posted
    QTest::addColumn<int>("ipClicks");

    const QString account = kAccount;
    const QString password = QString::fromLatin1(QUrl::toPercentEncoding(kPassword));
    QTest::newRow("UserName and PassWord, first submit after them")
        << QStringLiteral("standard") << false
        << QStringList{"UserName=" + account, "PassWord=" + password, QStringLiteral("go=login")} << 0;
    QTest::newRow("two user fields, no password field")
        << QStringLiteral("two-users") << false
        << QStringList{"user=" + account, "USER=" + account, QStringLiteral("go=login")} << 0;
    QTest::newRow("submit before the password: nothing submitted")
        << QStringLiteral("submit-first") << false << QStringList() << 0;
    QTest::newRow("IP login clicks submitip") << QStringLiteral("ip") << true << QStringList() << 1;
    QTest::newRow("IP login without submitip: nothing submitted")
        << QStringLiteral("standard") << true << QStringList() << 0;
}
// clang-format on

void TestLoginPanel::siteLoginForms()
{
    QFETCH(QString, form);
    QFETCH(bool, ipLogin);
    QFETCH(QStringList, submitted);
    QFETCH(int, ipClicks);

    PanelRig rig;
    // Surrounding blanks are not part of what is filled in.
    rig.fill(m_site.url("/signin?form=" + form), "  " + kAccount + " ", kPassword + "  ");
    rig.ipLogin()->setChecked(ipLogin);
    rig.panel->show();

    QTest::mouseClick(rig.testLogin(), Qt::LeftButton);
    QVERIFY(!rig.testLogin()->isEnabled());
    QVERIFY(rig.waitForStep(LoginPanel::AttemptStep::Pausing));

    const QList<FixtureSite::Request> posts = m_site.requestsTo("/signin-submit");
    QCOMPARE(posts.size(), submitted.isEmpty() ? 0 : 1);
    if (!submitted.isEmpty())
        QCOMPARE(QString::fromLatin1(posts.first().body).split(QLatin1Char('&')), submitted);
    QCOMPARE(m_site.requestsTo("/iplogin").size(), ipClicks);
    QCOMPARE(rig.shownPath(), submitted.isEmpty() && ipClicks == 0 ? QStringLiteral("/signin")
                              : ipClicks                           ? QStringLiteral("/iplogin")
                                                                   : QStringLiteral("/signin-submit"));
    QVERIFY(rig.stillPausing());
    QVERIFY(rig.endPause());
    QVERIFY(rig.prompts.records.isEmpty());
}

// Further calls while an attempt runs, as transfers make them, return at
// once: the page is requested once and the attempt goes on undisturbed.
void TestLoginPanel::secondAttemptReturnsAtOnce()
{
    PanelRig rig;
    rig.fill(m_site.url("/signin?form=standard"), kAccount, kPassword);
    rig.panel->SiteLogin(false);
    rig.panel->SiteLogin(true);
    QVERIFY(rig.waitForStep(LoginPanel::AttemptStep::Pausing));
    rig.panel->SiteLogin(false);
    QCOMPARE(m_site.requestsTo("/signin").size(), 1);
    QCOMPARE(m_site.requestsTo("/signin-submit").size(), 1);
    QVERIFY(rig.pauseEndsAfterFiveSeconds());
    QVERIFY(rig.prompts.records.isEmpty());
}

// A login page that never finishes loading is worked on as far as it has
// come after 10 seconds; a page without a form leaves nothing to submit;
// the attempt still ends with its pause.
void TestLoginPanel::attemptEndsWithoutAnswerPage()
{
    PanelRig rig;
    rig.fill(m_site.url("/silent"), kAccount, kPassword);
    rig.panel->SiteLogin(true);
    QVERIFY(rig.waitForStep(LoginPanel::AttemptStep::Opening));
    QVERIFY(rig.waitGoesOn("browseWait"));
    QCOMPARE(rig.panel->attemptStep(), LoginPanel::AttemptStep::Opening);
    QVERIFY(!rig.browse()->isEnabled());

    rig.clock.advance(11);
    QVERIFY(rig.waitForStep(LoginPanel::AttemptStep::Pausing));
    QVERIFY(rig.browse()->isEnabled());
    QVERIFY(m_site.requestsTo("/signin-submit").isEmpty());
    QVERIFY(rig.pauseEndsAfterFiveSeconds());
}

void TestLoginPanel::stopTimersEndsTheAttempt()
{
    PanelRig rig;
    rig.fill(m_site.url("/silent"), kAccount, kPassword);
    rig.autoRefresh()->setChecked(true);
    rig.panel->SiteLogin(false);
    QVERIFY(!rig.testLogin()->isEnabled());
    QVERIFY(!rig.browse()->isEnabled());

    rig.panel->stopTimers();
    QCOMPARE(rig.panel->attemptStep(), LoginPanel::AttemptStep::Idle);
    QVERIFY(rig.testLogin()->isEnabled());
    QVERIFY(rig.browse()->isEnabled());
    QVERIFY(!rig.panel->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());

    // Nothing of the ended attempt comes back later: its waits are over.
    QVERIFY(!rig.waiting("browseWait"));
    QVERIFY(!rig.waiting("attemptWait"));
    rig.clock.advance(20);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(rig.panel->attemptStep(), LoginPanel::AttemptStep::Idle);
}

// 浏览 is disabled until the page has loaded, or until more than ten
// seconds have passed on the clock; the page's title goes to the window.
// clang-format off
void TestLoginPanel::browseWaitsForThePageOrTenSeconds_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("loads");
    QTest::newRow("page loads") << QStringLiteral("/signin?form=standard") << true;
    QTest::newRow("page never answers") << QStringLiteral("/silent") << false;
}
// clang-format on

void TestLoginPanel::browseWaitsForThePageOrTenSeconds()
{
    QFETCH(QString, path);
    QFETCH(bool, loads);

    PanelRig rig;
    QTRY_COMPARE_WITH_TIMEOUT(rig.panel->browser()->url().toString(), LoginText::kBlankPage, kWaitMs);
    QSignalSpy titles(rig.panel.get(), &LoginPanel::titleShown);
    rig.address()->setText(" " + m_site.url(path) + " ");
    rig.panel->show();
    QTest::mouseClick(rig.browse(), Qt::LeftButton);
    QVERIFY(!rig.browse()->isEnabled());

    if (loads) {
        QTRY_VERIFY_WITH_TIMEOUT(rig.browse()->isEnabled(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!titles.isEmpty(), kWaitMs);
        QCOMPARE(titles.last().first().toString(), QStringLiteral("Sign in"));
        return;
    }
    QVERIFY(rig.waitGoesOn("browseWait"));
    QVERIFY(!rig.browse()->isEnabled());
    rig.clock.advance(10);
    QVERIFY(rig.waitGoesOn("browseWait"));
    QVERIFY(!rig.browse()->isEnabled());
    rig.clock.advance(1);
    QTRY_VERIFY_WITH_TIMEOUT(rig.browse()->isEnabled(), 2000);
    for (const QList<QVariant> &title : titles)
        QVERIFY(title.first().toString().trimmed().toLower() != LoginText::kBlankPage);
}

// 网页登录 shows the panel and loads the current row's address, unless
// automatic login or the refresh keeps the login page in the panel.
// clang-format off
void TestLoginPanel::openPanel_data()
{
    QTest::addColumn<bool>("autoLogin");
    QTest::addColumn<bool>("autoRefresh");
    QTest::addColumn<bool>("hasRow");
    QTest::addColumn<bool>("loadsRow");

    QTest::newRow("nothing ticked") << false << false << true << true;
    QTest::newRow("no current row") << false << false << false << false;
    QTest::newRow("automatic login ticked") << true << false << true << false;
    QTest::newRow("refresh ticked") << false << true << true << false;
}
// clang-format on

void TestLoginPanel::openPanel()
{
    QFETCH(bool, autoLogin);
    QFETCH(bool, autoRefresh);
    QFETCH(bool, hasRow);
    QFETCH(bool, loadsRow);

    PanelRig rig;
    QTRY_COMPARE_WITH_TIMEOUT(rig.panel->browser()->url().toString(), LoginText::kBlankPage, kWaitMs);
    rig.fill(m_site.url("/signin?form=standard"), kAccount, kPassword);
    rig.autoLogin()->setChecked(autoLogin);
    rig.autoRefresh()->setChecked(autoRefresh);

    rig.panel->openPanel(hasRow ? m_site.url("/protected.pdf") : QString());
    QVERIFY(rig.panel->isVisible());
    if (loadsRow) {
        QTRY_COMPARE_WITH_TIMEOUT(rig.shownPath(), QStringLiteral("/protected.pdf"), kWaitMs);
    } else {
        // Nothing tells that a page was not asked for: the wait gives a
        // request the time to reach the site.
        QTest::qWait(500);
        QVERIFY(m_site.requestsTo("/protected.pdf").isEmpty());
    }
}

// 关闭(隐藏) hides the panel; the page stays only while the refresh is
// ticked, and Timer2 runs exactly while it is.
// clang-format off
void TestLoginPanel::closeAndRefresh_data()
{
    QTest::addColumn<bool>("autoRefresh");
    QTest::newRow("refresh not ticked") << false;
    QTest::newRow("refresh ticked") << true;
}
// clang-format on

void TestLoginPanel::closeAndRefresh()
{
    QFETCH(bool, autoRefresh);

    PanelRig rig;
    auto *timer2 = rig.panel->findChild<QTimer *>(QStringLiteral("Timer2"));
    rig.autoRefresh()->setChecked(autoRefresh);
    QCOMPARE(timer2->isActive(), autoRefresh);

    rig.panel->openPanel(QString());
    rig.address()->setText(m_site.url("/signin?form=standard"));
    rig.panel->browse();
    QTRY_VERIFY_WITH_TIMEOUT(rig.browse()->isEnabled(), kWaitMs);

    QSignalSpy hidden(rig.panel.get(), &LoginPanel::panelHidden);
    QTest::mouseClick(rig.control<QPushButton>("Command3"), Qt::LeftButton);
    QVERIFY(rig.panel->isHidden());
    QCOMPARE(hidden.size(), 1);
    if (autoRefresh) {
        // Nothing tells that the page was left alone: the wait gives a blank
        // page the time to replace it.
        QTest::qWait(500);
        QCOMPARE(rig.shownPath(), QStringLiteral("/signin"));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(rig.panel->browser()->url().toString(), LoginText::kBlankPage, kWaitMs);
    }

    rig.autoRefresh()->setChecked(!autoRefresh);
    QCOMPARE(timer2->isActive(), !autoRefresh);
}

// The password is typed again in every run: after a login it is found
// neither in the settings file, nor in the browser's stored files, nor in
// any message of the program.
void TestLoginPanel::passwordIsKeptNowhere()
{
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { messages.append(text); });

    QTemporaryDir storage;
    TempSettings settings;
    {
        QWebEngineProfile profile(QStringLiteral("login-panel"));
        profile.setPersistentStoragePath(storage.filePath(QStringLiteral("profile")));
        profile.setCachePath(storage.filePath(QStringLiteral("cache")));
        profile.setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        PanelRig rig(&profile);
        rig.fill(m_site.url("/signin?form=standard"), kAccount, kPassword);
        rig.panel->SiteLogin(true);
        QVERIFY(rig.waitForStep(LoginPanel::AttemptStep::Pausing));
        QCOMPARE(m_site.requestsTo("/signin-submit").size(), 1);
        // What the window stores when it closes.
        settings.store().SaveSetting(QStringLiteral("Paperdrift"), QStringLiteral("Download"),
                                     QStringLiteral("SameName"), QStringLiteral("重命名"));
        rig.panel->stopTimers();
    }
    qInstallMessageHandler(previous);

    QFile settingsFile(settings.filePath());
    QVERIFY(settingsFile.open(QIODevice::ReadOnly));
    QVERIFY(!settingsFile.readAll().contains(kPassword.toUtf8()));

    int filesRead = 0;
    QDirIterator files(storage.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++filesRead;
        const QByteArray bytes = file.readAll();
        const QByteArray wide(reinterpret_cast<const char *>(kPassword.utf16()), kPassword.size() * 2);
        QVERIFY2(!bytes.contains(kPassword.toUtf8()) && !bytes.contains(wide), qPrintable(file.fileName()));
    }
    QVERIFY(filesRead > 0);
    for (const QString &message : std::as_const(messages))
        QVERIFY2(!message.contains(kPassword), qPrintable(message));
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestLoginPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_login_panel.moc"
