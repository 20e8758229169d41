#pragma once

#include "download_window/DownloadWindow.h"
#include "harvester/AnalysisPass.h"
#include "harvester/Handover.h"
#include "harvester/HarvestMaintenance.h"
#include "harvester/SaveFolderAsker.h"
#include "search_window/SearchMenus.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <memory>

class HarvestList;
class Paging;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;
class QTreeView;
class SplitterBar;
class WebBrowser;
class WebBrowserPane;

// fWebSearch, the search window: the embedded browser in the upper pane, in
// which the user searches the literature site, and the harvest list with its
// commands in the lower pane. It reads result pages into the harvest list
// and hands the entries to the download window, which it creates, hidden,
// on the first hand-over. Creating it is the window's load (the caller shows
// it); closing it ends a running add-all or analysis pass and destroys it,
// with its harvest list.
//
// It takes the download window's services, which it passes on when it
// creates that window; the browser keeps its cookies in their profile.
class SearchWindow final : public QMainWindow, private HandoverTarget, private SaveFolderAsker
{
    Q_OBJECT

public:
    explicit SearchWindow(const DownloadWindowServices &services, QWidget *parent = nullptr);
    ~SearchWindow() override;

    HarvestList &harvestList() { return *m_list; }
    const SearchMenus &menus() const { return m_menus; }
    // The download window, while it is loaded.
    DownloadWindow *downloadWindow() const { return m_downloadWindow; }

    QWidget *PicPanWeb = nullptr;
    WebBrowser *WebBrowser1 = nullptr;
    SplitterBar *PicBar = nullptr;
    QWidget *PicPanList = nullptr;
    QCheckBox *Check3 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QCheckBox *Check2 = nullptr;
    QCheckBox *Check1 = nullptr;
    QPushButton *Command7 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *Command9 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command2 = nullptr;
    QTreeView *ListView1 = nullptr;
    QFrame *PicPanPrograss = nullptr;
    QLabel *Label11 = nullptr;
    QPushButton *Command5 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *panel1 = nullptr;
    QLabel *panel2 = nullptr; // the browser's status text

    // 打开AIAA首页: ticks Check2 and opens the literature site's start page.
    void openStartPage();
    // "打开指定网址...": asks for an address and opens it as typed.
    void openAddress();
    // "打开下载窗口": creates the download window when needed and shows it,
    // leaving its size state as it is.
    void openDownloadWindow();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // HandoverTarget
    DownloadList &downloadList() override;
    void showDownloadWindow() override;
    // SaveFolderAsker
    void askSaveFolder(QObject *context, std::function<void(bool confirmed)> answered) override;

    void buildBrowserPane();
    void buildListPane();
    void buildStatusBar();
    void bindCommands();
    void bindMenus();
    DownloadWindow *ensureDownloadWindow();
    void layOut();
    void placeListPaneParts();
    void analyse();
    void startPass(AnalysisPass::Kind kind);
    QSet<int> selectedRows() const;
    void showRowCount();
    void showAddAllRunning(bool running);

    DownloadWindowServices m_services;
    HarvestList *m_list = nullptr;
    WebBrowserPane *m_pane = nullptr;
    Paging *m_paging = nullptr;
    std::unique_ptr<Handover> m_handover;
    AnalysisPass *m_pass = nullptr;
    std::unique_ptr<HarvestMaintenance> m_maintenance;
    QWidget *m_commandStrip = nullptr;
    SearchMenus m_menus;
    QPointer<DownloadWindow> m_downloadWindow;
};
