#pragma once

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class Clock;
class ClockWait;
class DownloadEngine;
class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWebEngineProfile;
class WebBrowser;

// PicWebBK: the download window's login panel. The user opens the site's
// login page in the panel's browser Web1, has the account and password
// filled in and submitted, and keeps the page refreshed; the engine asks
// for a login by itself when a transfer has stored a web page instead of a
// document. Nothing of the panel is stored: address, account and password
// are typed again in every run.
//
// The waits of a login attempt (the page loading, up to 10 seconds; the
// pause of 5 seconds that ends it) are steps driven by the browser's events
// and timers, measured on the clock; other events, transfers and further
// calls run meanwhile. "测试登录" being disabled is what keeps two attempts
// from overlapping.
class LoginPanel final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kPageWaitSeconds = 10;
    static constexpr double kPauseSeconds = 5;
    static constexpr int kRefreshMilliseconds = 60000;

    // Where a login attempt stands.
    enum class AttemptStep {
        Idle,       // none runs; "测试登录" is enabled
        Opening,    // the login page is loading
        Submitting, // the form was filled and submitted (or the IP login clicked); the answer loads
        Pausing,    // the closing 5-second pause
    };

    // The panel starts hidden, with Web1 silent on about:blank. Web1 keeps
    // its cookies in the given profile (the default profile when none is
    // given), which must outlive the panel; attach the profile to the
    // transfers' network manager (SharedCookies) so that a login here
    // applies to the downloads.
    LoginPanel(Prompts &prompts, const Clock &clock, QWebEngineProfile *profile, QWidget *parent = nullptr);
    ~LoginPanel() override;

    // 网页登录: shows the panel in front and, when neither automatic login
    // nor the refresh is ticked, loads the current row's address.
    void openPanel(const QString &currentRowUrl);

    // SiteLogin: one login attempt. Returns at once; the attempt runs on.
    void SiteLogin(bool showMessages);

    // 浏览: opens the address in Web1; the button is disabled until the page
    // has loaded or 10 seconds have passed.
    void browse();

    // Binds 自动登录 to the engine's automatic-login option and makes the
    // engine's login requests login attempts without messages.
    void attachEngine(DownloadEngine &engine);

    // The window's close: Timer2 stops and a running attempt or page wait
    // ends, its buttons enabled again.
    void stopTimers();

    WebBrowser *browser() const { return m_web; }
    AttemptStep attemptStep() const { return m_step; }

signals:
    void titleShown(const QString &title); // status panel 3; never for about:blank
    void panelHidden();                    // 关闭(隐藏)

private:
    void buildControls();
    void layOutControls();
    void onAutoLoginToggled(bool ticked);
    void onRefreshToggled(bool ticked);
    void onTitleChanged(const QString &title);
    void onDocumentCompleted();
    void closePanel();

    bool checkLoginFields(bool showMessages);
    void openAddress(std::function<void()> then);
    double noteStart() const;
    void browseEnded();
    void submitLogin();
    void runSubmitScript(const QString &script);
    void startPause();
    void endAttempt();

    Prompts &m_prompts;
    const Clock &m_clock;
    QPointer<DownloadEngine> m_engine;

    QLabel *m_addressLabel = nullptr;       // Label6
    QLineEdit *m_address = nullptr;         // Text1
    QPushButton *m_browse = nullptr;        // Command2
    QRadioButton *m_accountLogin = nullptr; // Option4
    QLineEdit *m_account = nullptr;         // Text2
    QLabel *m_passwordLabel = nullptr;      // Label10
    QLineEdit *m_password = nullptr;        // Text3
    QRadioButton *m_ipLogin = nullptr;      // Option5
    QCheckBox *m_autoLogin = nullptr;       // Check2
    QLabel *m_conditionLabel = nullptr;     // Label11
    QComboBox *m_condition = nullptr;       // Combo3
    QCheckBox *m_autoRefresh = nullptr;     // Check1
    QPushButton *m_testLogin = nullptr;     // Command5
    QPushButton *m_closeHide = nullptr;     // Command3
    WebBrowser *m_web = nullptr;            // Web1
    QTimer *m_refreshTimer = nullptr;       // Timer2

    // LoginPageLoading: set before a page is requested in Web1, cleared by
    // every completed document.
    bool m_loginPageLoading = false;
    ClockWait *m_browseWait = nullptr; // "browseWait": a page opened in Web1
    QList<std::function<void()>> m_afterBrowse;
    ClockWait *m_attemptWait = nullptr; // "attemptWait": the submitted form's answer, then the pause
    AttemptStep m_step = AttemptStep::Idle;
    quint64 m_scriptRun = 0; // answers of an earlier script are ignored
    bool m_scriptAnswered = false;
    bool m_clicked = false;
};
