#include "download_window/LoginPanel.h"

#include "browser/WebBrowser.h"
#include "common/ClockWait.h"
#include "download_window/LoginScripts.h"
#include "download_window/LoginTexts.h"
#include "engine/DownloadEngine.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

LoginPanel::LoginPanel(Prompts &prompts, const Clock &clock, QWebEngineProfile *profile, QWidget *parent)
    : QWidget(parent), m_prompts(prompts), m_clock(clock)
{
    setObjectName(LoginText::kPanelName);
    m_browseWait = new ClockWait(clock, this);
    m_browseWait->setObjectName(QStringLiteral("browseWait"));
    m_attemptWait = new ClockWait(clock, this);
    m_attemptWait->setObjectName(QStringLiteral("attemptWait"));
    m_web = new WebBrowser(profile, this);
    m_web->setObjectName(QStringLiteral("Web1"));
    buildControls();
    layOutControls();

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("Timer2"));
    m_refreshTimer->setInterval(kRefreshMilliseconds);
    connect(m_refreshTimer, &QTimer::timeout, m_web, &WebBrowser::refresh);

    connect(m_browse, &QPushButton::clicked, this, &LoginPanel::browse);
    connect(m_testLogin, &QPushButton::clicked, this, [this] { SiteLogin(true); });
    connect(m_closeHide, &QPushButton::clicked, this, &LoginPanel::closePanel);
    connect(m_autoLogin, &QCheckBox::toggled, this, &LoginPanel::onAutoLoginToggled);
    connect(m_autoRefresh, &QCheckBox::toggled, this, &LoginPanel::onRefreshToggled);
    connect(m_web, &WebBrowser::titleChanged, this, &LoginPanel::onTitleChanged);
    connect(m_web, &WebBrowser::documentCompleted, this, &LoginPanel::onDocumentCompleted);

    m_web->setSilent(true);
    m_web->navigate(LoginText::kBlankPage);
    hide();
}

LoginPanel::~LoginPanel()
{
    stopTimers();
}

void LoginPanel::buildControls()
{
    const auto named = [this](auto *widget, const char *name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    m_addressLabel = named(new QLabel(LoginText::kAddressLabel, this), "Label6");
    m_address = named(new QLineEdit(this), "Text1");
    m_browse = named(new QPushButton(LoginText::kBrowse, this), "Command2");
    m_accountLogin = named(new QRadioButton(LoginText::kAccountLogin, this), "Option4");
    m_account = named(new QLineEdit(this), "Text2");
    m_passwordLabel = named(new QLabel(LoginText::kPasswordLabel, this), "Label10");
    m_password = named(new QLineEdit(this), "Text3");
    m_ipLogin = named(new QRadioButton(LoginText::kIpLogin, this), "Option5");
    m_autoLogin = named(new QCheckBox(LoginText::kAutoLogin, this), "Check2");
    m_conditionLabel = named(new QLabel(LoginText::kAutoLoginConditionLabel, this), "Label11");
    m_condition = named(new QComboBox(this), "Combo3");
    m_autoRefresh = named(new QCheckBox(LoginText::kAutoRefresh, this), "Check1");
    m_testLogin = named(new QPushButton(LoginText::kTestLogin, this), "Command5");
    m_closeHide = named(new QPushButton(LoginText::kCloseHide, this), "Command3");

    m_password->setEchoMode(QLineEdit::Password);
    m_accountLogin->setChecked(true);
    m_condition->addItem(LoginText::kAutoLoginCondition);
    m_condition->setCurrentIndex(0);

    m_addressLabel->setBuddy(m_address);
    m_passwordLabel->setBuddy(m_password);
    m_conditionLabel->setBuddy(m_condition);

    // Tab order follows the rows, left to right; the browser comes last.
    const QList<QWidget *> order{m_address,   m_browse,    m_accountLogin, m_account,   m_password,  m_ipLogin,
                                 m_autoLogin, m_condition, m_autoRefresh,  m_testLogin, m_closeHide, m_web};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// Three rows of controls over the browser, which takes the rest of the panel.
void LoginPanel::layOutControls()
{
    auto *addressRow = new QHBoxLayout;
    addressRow->addWidget(m_addressLabel);
    addressRow->addWidget(m_address, 1);
    addressRow->addWidget(m_browse);

    auto *accountRow = new QHBoxLayout;
    accountRow->addWidget(m_accountLogin);
    accountRow->addWidget(m_account, 1);
    accountRow->addWidget(m_passwordLabel);
    accountRow->addWidget(m_password, 1);
    accountRow->addWidget(m_ipLogin);

    auto *optionsRow = new QHBoxLayout;
    optionsRow->addWidget(m_autoLogin);
    optionsRow->addWidget(m_conditionLabel);
    optionsRow->addWidget(m_condition);
    optionsRow->addWidget(m_autoRefresh);
    optionsRow->addStretch(1);
    optionsRow->addWidget(m_testLogin);
    optionsRow->addWidget(m_closeHide);

    auto *panel = new QVBoxLayout(this);
    panel->addLayout(addressRow);
    panel->addLayout(accountRow);
    panel->addLayout(optionsRow);
    panel->addWidget(m_web, 1);
}

void LoginPanel::openPanel(const QString &currentRowUrl)
{
    show();
    raise();
    if (!m_autoLogin->isChecked() && !m_autoRefresh->isChecked() && !currentRowUrl.isEmpty())
        m_web->navigate(currentRowUrl);
}

void LoginPanel::closePanel()
{
    hide();
    if (!m_autoRefresh->isChecked())
        m_web->navigate(LoginText::kBlankPage);
    emit panelHidden();
}

void LoginPanel::attachEngine(DownloadEngine &engine)
{
    m_engine = &engine;
    {
        const QSignalBlocker blocker(m_autoLogin);
        m_autoLogin->setChecked(engine.options().autoLogin);
    }
    connect(&engine, &DownloadEngine::loginRequested, this, [this] { SiteLogin(false); });
    connect(&engine, &DownloadEngine::optionsChanged, this, [this] {
        if (!m_engine)
            return;
        const QSignalBlocker blocker(m_autoLogin);
        m_autoLogin->setChecked(m_engine->options().autoLogin);
    });
}

void LoginPanel::stopTimers()
{
    m_refreshTimer->stop();
    m_browseWait->cancel();
    m_attemptWait->cancel();
    m_afterBrowse.clear();
    ++m_scriptRun;
    m_step = AttemptStep::Idle;
    m_browse->setEnabled(true);
    m_testLogin->setEnabled(true);
}

// Ticking 自动登录 needs what an automatic attempt needs: an address and,
// for account login, the account and password. Unticked, it stays off, so
// that later transfers do not repeat the same failing attempt.
void LoginPanel::onAutoLoginToggled(bool ticked)
{
    if (ticked && !checkLoginFields(true))
        return; // unticking has set the option off
    if (m_engine)
        m_engine->options().autoLogin = m_autoLogin->isChecked();
}

bool LoginPanel::checkLoginFields(bool showMessages)
{
    const QString address = m_address->text().trimmed();
    QString problem;
    if (address.isEmpty())
        problem = LoginText::kAddressMissing;
    else if (m_accountLogin->isChecked()
             && (m_account->text().trimmed().isEmpty() || m_password->text().trimmed().isEmpty()))
        problem = LoginText::kAccountMissing;
    if (problem.isEmpty())
        return true;
    if (showMessages)
        m_prompts.error(problem);
    m_autoLogin->setChecked(false);
    return false;
}

void LoginPanel::onRefreshToggled(bool ticked)
{
    if (ticked)
        m_refreshTimer->start();
    else
        m_refreshTimer->stop();
}

void LoginPanel::onTitleChanged(const QString &title)
{
    if (title.trimmed().toLower() != LoginText::kBlankPage)
        emit titleShown(title);
}

void LoginPanel::onDocumentCompleted()
{
    m_loginPageLoading = false;
    m_browseWait->recheck();
    m_attemptWait->recheck();
}

void LoginPanel::browse()
{
    openAddress({});
}

// The shared step of 浏览 and of a login attempt. A second call while a page
// is awaited loads the address again and restarts the wait; every caller
// goes on when it ends.
void LoginPanel::openAddress(std::function<void()> then)
{
    const QString address = m_address->text().trimmed();
    if (address.isEmpty()) {
        if (then)
            then();
        return;
    }
    m_browse->setEnabled(false);
    m_loginPageLoading = true;
    m_web->navigate(address);
    if (then)
        m_afterBrowse.append(std::move(then));
    m_browseWait->start(
        noteStart(), kPageWaitSeconds, [this] { return !m_web->isBusy() && !m_loginPageLoading; },
        [this](ClockWait::End) { browseEnded(); });
}

// The waits count from the start time noted in whole seconds.
double LoginPanel::noteStart() const
{
    return std::floor(m_clock.seconds());
}

void LoginPanel::browseEnded()
{
    m_browse->setEnabled(true);
    const QList<std::function<void()>> steps = std::exchange(m_afterBrowse, {});
    for (const std::function<void()> &step : steps)
        step();
}

void LoginPanel::SiteLogin(bool showMessages)
{
    if (!checkLoginFields(showMessages))
        return;
    if (!m_testLogin->isEnabledTo(this))
        return; // an attempt is running
    m_testLogin->setEnabled(false);
    m_step = AttemptStep::Opening;
    openAddress([this] { submitLogin(); });
}

// From here on a step that fails is passed over: a page without a usable
// form, or a script that never answers, leads to the closing pause.
void LoginPanel::submitLogin()
{
    if (m_step != AttemptStep::Opening)
        return;
    if (m_accountLogin->isChecked())
        runSubmitScript(LoginScripts::accountLogin(m_account->text().trimmed(), m_password->text().trimmed()));
    else if (m_ipLogin->isChecked())
        runSubmitScript(LoginScripts::ipLogin());
    else
        startPause();
}

void LoginPanel::runSubmitScript(const QString &script)
{
    m_step = AttemptStep::Submitting;
    m_loginPageLoading = true;
    m_scriptAnswered = false;
    m_clicked = false;
    const quint64 run = ++m_scriptRun;
    m_web->runScript(script, this, [this, run](const QVariant &answer) {
        if (run != m_scriptRun)
            return;
        m_scriptAnswered = true;
        m_clicked = answer.toMap().value(QStringLiteral("clicked")).toBool();
        m_attemptWait->recheck();
    });
    // After a click the answer page must have loaded; without one the wait
    // ends as soon as the script has said so.
    m_attemptWait->start(
        noteStart(), kPageWaitSeconds,
        [this] { return m_scriptAnswered && (!m_clicked || (!m_web->isBusy() && !m_loginPageLoading)); },
        [this](ClockWait::End) { startPause(); });
}

void LoginPanel::startPause()
{
    m_step = AttemptStep::Pausing;
    m_attemptWait->start(noteStart(), kPauseSeconds, {}, [this](ClockWait::End) { endAttempt(); });
}

void LoginPanel::endAttempt()
{
    ++m_scriptRun;
    m_step = AttemptStep::Idle;
    m_testLogin->setEnabled(true);
}
