#pragma once

#include "common/DownloadMethod.h"
#include "download_window/DownloadMenus.h"
#include "download_window/TransferSpeed.h"

#include <QMainWindow>

class Clock;
class CommandStrip;
class DownloadEngine;
class DownloadListDelegate;
class FileCommands;
class ListCommands;
class LoginPanel;
class Prompts;
class QLabel;
class QNetworkAccessManager;
class QStatusBar;
class QTreeView;
class QWebEngineProfile;
class Shell;
class SoundPlayer;
class StoredSettings;
struct SessionSettings;

// What the download window works with: the shared settings record and store,
// the prompts, the sounds, the clock, the network manager of every transfer,
// the desktop's shell and the browser profile whose cookies the transfers
// share.
struct DownloadWindowServices
{
    SessionSettings &session;
    StoredSettings &stored;
    Prompts &prompts;
    SoundPlayer &sounds;
    const Clock &clock;
    QNetworkAccessManager &network;
    Shell &shell;
    QWebEngineProfile *profile = nullptr; // the default profile when none is given
};

// fFileDownload, the download window: it owns the download engine (the list
// and every transfer), shows the list with the command strip above it and
// the status bar below, and binds the strip's controls to the engine's
// options. Creating it is the window's load: it reads its settings, places
// itself as it was left and starts the supervisor timer; the list starts
// empty. Closing it stores the settings and the layout; the window is then
// destroyed, so that the next one loads afresh.
class DownloadWindow final : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kStripeRowHeight = 17;

    explicit DownloadWindow(const DownloadWindowServices &services, QWidget *parent = nullptr);
    ~DownloadWindow() override;

    DownloadEngine &engine() { return *m_engine; }
    ListCommands &listCommands() { return *m_listCommands; }
    const DownloadMenus &menus() const { return m_menus; }

    CommandStrip *Picture3 = nullptr;
    QTreeView *ListView3 = nullptr;
    LoginPanel *PicWebBK = nullptr; // covers the list exactly while it is shown
    QStatusBar *StatusBar1 = nullptr;
    QLabel *panel2 = nullptr;     // the clicked row's file or the transfer messages
    QLabel *panel3 = nullptr;     // the transfer control's state or the login page's title
    QLabel *panel4 = nullptr;     // the status summary
    QLabel *speedPanel = nullptr; // the total transfer speed

    // The rows of the list that are selected, by position, in list order.
    QList<int> selectedRows() const;
    // The current row (the one with focus that is selected); -1 when none.
    int currentRow() const;

    // Enables the list menu's entries by the state, as a right-click does
    // before the menu pops up.
    void applyListMenuRules();

    // A method confirmed in the options dialog, wherever it was opened: the
    // method label shows it, and the thread-count box is disabled for
    // Single or enabled at one worker otherwise.
    void showConfirmedMethod(DownloadMethod method);

    // 显示下载窗口: the list redrawn, the window shown when hidden, and
    // maximised when minimised.
    void bringUp();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildList();
    void buildStatusBar();
    void readSettings();
    void bindStrip();
    void bindEngine();
    void bindMenus();
    void placeParts();
    void showRowCount();
    void showSpeed();
    void showMethod(DownloadMethod method, bool threadBoxToOne);
    void syncOptionsToStrip();
    void openListMenu(const QPoint &position);
    void openPanel2Text();
    void copyCurrentName();
    void openSettings();
    void clearBrowserCache();
    void replaceUrls();

    SessionSettings &m_session;
    StoredSettings &m_stored;
    Prompts &m_prompts;
    Shell &m_shell;
    const Clock &m_clock;
    QWebEngineProfile *m_profile;
    DownloadEngine *m_engine = nullptr;
    ListCommands *m_listCommands = nullptr;
    FileCommands *m_fileCommands = nullptr;
    DownloadListDelegate *m_delegate = nullptr;
    DownloadMenus m_menus;
    TransferSpeed m_speed;
};
