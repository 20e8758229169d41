#include "search_window/SearchWindow.h"

#include "about/AboutBox.h"
#include "browser/WebBrowser.h"
#include "cache_viewer/BrowserCache.h"
#include "common/SessionSettings.h"
#include "engine/DownloadEngine.h"
#include "harvester/AnalysisPass.h"
#include "harvester/HarvestList.h"
#include "harvester/Paging.h"
#include "harvester/WebBrowserPane.h"
#include "platform/Prompts.h"
#include "platform/WindowDirectory.h"
#include "search_window/OpenAddress.h"
#include "search_window/SearchLayout.h"
#include "search_window/SearchTexts.h"
#include "search_window/SplitterBar.h"
#include "settings/LayoutRules.h"
#include "settings_dialogs/OptionsDialog.h"
#include "settings_dialogs/SaveFolderDialog.h"
#include "settings/SettingsProcedures.h"
#include "settings/SettingsTexts.h"
#include "settings/StoredSettings.h"
#include "widgets/ListViewHelpers.h"
#include "widgets/LoadedWindows.h"
#include "widgets/NamedControl.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineProfile>

using namespace SearchText;

namespace {

constexpr int kStripeRowHeight = 17;
constexpr int kBarHeightTwips = 60;
constexpr int kListMarginTwips = 50;
constexpr int kBrowserMarginTwips = 20;
constexpr int kNormalWidthTwips = 15000;
constexpr int kNormalHeightTwips = 10000;
// Where the splitter starts: the page above, the list with room for a dozen
// rows below.
constexpr int kDesignedBarTopTwips = 5500;

// The small icon beside "仅提取带": the mark the site sets on free articles.
QPixmap freeMarkPixmap(const QWidget *widget)
{
    return widget->style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16);
}

} // namespace

SearchWindow::SearchWindow(const DownloadWindowServices &services, QWidget *parent)
    : QMainWindow(parent), m_services(services)
{
    setObjectName(kWindowName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WindowCaption(kCaption));

    m_list = new HarvestList(this);
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    buildBrowserPane();
    PicBar = NamedControl(new SplitterBar(central), "PicBar");
    PicBar->setAccessibleName(QStringLiteral("PicBar"));
    buildListPane();
    buildStatusBar();
    m_menus.build(menuBar(), this);

    m_pane = new WebBrowserPane(WebBrowser1->page(), this);
    HandoverTarget &target = *this;
    SaveFolderAsker &asker = *this;
    m_paging = new Paging(*m_pane, *m_list, services.session, asker, services.clock, this);
    m_handover = std::make_unique<Handover>(target, services.session);
    m_pass = new AnalysisPass(*m_list, services.session, *m_handover, asker, this);
    m_maintenance =
        std::make_unique<HarvestMaintenance>(*m_list, services.prompts, [this] { return m_pass->AnalysisIdle(); });
    bindCommands();
    bindMenus();

    resize(TwipsToPixels(kNormalWidthTwips), TwipsToPixels(kNormalHeightTwips));
    PicBar->move(0, TwipsToPixels(kDesignedBarTopTwips));
    layOut();

    // The load: the setting read, the browser silenced, a blank page, then
    // the start page.
    ReadSearchWindowSettings(services.stored, services.session);
    Check2->setChecked(true);
    WebBrowser1->setSilent(true);
    WebBrowser1->navigate(kBlankPage);
    openStartPage();
}

SearchWindow::~SearchWindow()
{
    // The pass uses the hand-over, a member that goes before the window's
    // children: the pass and the paging go first.
    delete m_pass;
    delete m_paging;
}

void SearchWindow::buildBrowserPane()
{
    PicPanWeb = NamedControl(new QWidget(centralWidget()), "PicPanWeb");
    PicPanWeb->setAccessibleName(QStringLiteral("PicPanWeb"));
    WebBrowser1 = NamedControl(new WebBrowser(m_services.profile, PicPanWeb), "WebBrowser1");
    WebBrowser1->setAccessibleName(QStringLiteral("WebBrowser1"));
}

void SearchWindow::buildListPane()
{
    PicPanList = NamedControl(new QWidget(centralWidget()), "PicPanList");
    PicPanList->setAccessibleName(QStringLiteral("PicPanList"));
    m_commandStrip = NamedControl(new QWidget(PicPanList), "commandStrip");

    Check3 = NamedControl(new QCheckBox(kFreeOnlyBefore, m_commandStrip), "Check3");
    Check3->setAccessibleName(kFreeOnlyBefore + kFreeOnlyAfter);
    Image1 = NamedControl(new QLabel(m_commandStrip), "Image1");
    Image1->setPixmap(freeMarkPixmap(this));
    Image1->setAccessibleName(QStringLiteral("Image1"));
    Label3 = NamedControl(new QLabel(kFreeOnlyAfter, m_commandStrip), "Label3");
    Label3->setBuddy(Check3);
    Check2 = NamedControl(new QCheckBox(kSilent, m_commandStrip), "Check2");
    Check1 = NamedControl(new QCheckBox(kTickedOnly, m_commandStrip), "Check1");
    Command7 = NamedControl(new QPushButton(kExport, m_commandStrip), "Command7");
    Label2 = NamedControl(new QLabel(kListLabel, m_commandStrip), "Label2");
    Label1 = NamedControl(new QLabel(QStringLiteral("0"), m_commandStrip), "Label1");
    Command9 = NamedControl(new QPushButton(kAddThisPage, m_commandStrip), "Command9");
    Command4 = NamedControl(new QPushButton(kAddAll, m_commandStrip), "Command4");
    Command2 = NamedControl(new QPushButton(kAnalyse, m_commandStrip), "Command2");

    auto *filters = new QHBoxLayout;
    filters->setSpacing(2);
    filters->addWidget(Check3);
    filters->addWidget(Image1);
    filters->addWidget(Label3);
    filters->addSpacing(12);
    filters->addWidget(Check2);
    filters->addSpacing(12);
    filters->addWidget(Check1);
    filters->addStretch();
    filters->addWidget(Command7);
    auto *commands = new QHBoxLayout;
    commands->addWidget(Label2);
    commands->addWidget(Label1);
    commands->addStretch();
    commands->addWidget(Command9);
    commands->addWidget(Command4);
    commands->addWidget(Command2);
    auto *strip = new QVBoxLayout(m_commandStrip);
    strip->setContentsMargins(4, 2, 4, 2);
    strip->addLayout(filters);
    strip->addLayout(commands);

    ListView1 = NamedControl(new QTreeView(PicPanList), "ListView1");
    ListView1->setModel(m_list);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView1->setAccessibleName(kListLabel);
    Label2->setBuddy(ListView1);
    for (int column = 0; column < HarvestList::ColumnCount; ++column)
        ListView1->header()->resizeSection(column, TwipsToPixels(HarvestList::columnWidthTwips(column)));
    PaintStripedListBackground(ListView1, kStripeRowHeight);

    PicPanPrograss = NamedControl(new QFrame(PicPanList), "PicPanPrograss");
    PicPanPrograss->setAccessibleName(QStringLiteral("PicPanPrograss"));
    PicPanPrograss->setFrameShape(QFrame::Box);
    PicPanPrograss->setAutoFillBackground(true);
    Label11 = NamedControl(new QLabel(kProgressAtDesign, PicPanPrograss), "Label11");
    Command5 = NamedControl(new QPushButton(kStop, PicPanPrograss), "Command5");
    auto *progress = new QHBoxLayout(PicPanPrograss);
    progress->addWidget(Label11);
    progress->addWidget(Command5);
    PicPanPrograss->adjustSize();
    PicPanPrograss->hide();

    setTabOrder(Check3, Check2);
    setTabOrder(Check2, Check1);
    setTabOrder(Check1, Command7);
    setTabOrder(Command7, ListView1);
    setTabOrder(ListView1, Command9);
    setTabOrder(Command9, Command4);
    setTabOrder(Command4, Command2);
}

void SearchWindow::buildStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    panel1 = NamedControl(new QLabel(StatusBar1), "panel1");
    panel2 = NamedControl(new QLabel(StatusBar1), "panel2");
    for (QLabel *panel : {panel1, panel2}) {
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
    }
    panel1->setMinimumWidth(80);
    StatusBar1->addWidget(panel1, 0);
    StatusBar1->addWidget(panel2, 1);
}

void SearchWindow::bindCommands()
{
    connect(Check2, &QCheckBox::toggled, WebBrowser1, &WebBrowser::setSilent);
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) { m_paging->setTickedOnly(on); });
    connect(Check3, &QCheckBox::toggled, this, [this](bool on) { m_paging->setFreeOnly(on); });
    connect(WebBrowser1, &WebBrowser::statusTextChanged, panel2, &QLabel::setText);

    connect(Command9, &QPushButton::clicked, m_paging, &Paging::addThisPage);
    connect(Command4, &QPushButton::clicked, m_paging, &Paging::addAll);
    connect(m_paging, &Paging::addAllRunningChanged, this, &SearchWindow::showAddAllRunning);
    connect(m_paging, &Paging::addCommandFinished, this, [this] {
        AutoSizeColumns(ListView1);
        PaintStripedListBackground(ListView1, kStripeRowHeight);
    });
    connect(m_list, &QAbstractItemModel::rowsInserted, this, &SearchWindow::showRowCount);
    connect(m_list, &QAbstractItemModel::rowsRemoved, this, &SearchWindow::showRowCount);
    connect(m_list, &QAbstractItemModel::modelReset, this, &SearchWindow::showRowCount);

    connect(Command2, &QPushButton::clicked, this, &SearchWindow::analyse);
    connect(m_pass, &AnalysisPass::started, this, [this](const QString &text) {
        Label11->setText(text);
        PicPanPrograss->adjustSize();
        placeListPaneParts();
        PicPanPrograss->show();
        PicPanPrograss->raise();
    });
    connect(m_pass, &AnalysisPass::finished, this, [this] {
        PicPanPrograss->hide();
        Command2->setEnabled(true);
    });
    connect(Command5, &QPushButton::clicked, m_pass, &AnalysisPass::stop);
    connect(Command7, &QPushButton::clicked, this, [this] { m_maintenance->exportList(); });

    connect(PicBar, &SplitterBar::released, this, &SearchWindow::layOut);
    connect(ListView1, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint &position) { m_menus.clear->popup(ListView1->viewport()->mapToGlobal(position)); });
}

void SearchWindow::bindMenus()
{
    const SearchMenus &menus = m_menus;
    const auto pass = [this](AnalysisPass::Kind kind) { return [this, kind] { startPass(kind); }; };
    connect(menus.passUnanalysed, &QAction::triggered, this, pass(AnalysisPass::Kind::Unanalysed));
    connect(menus.passFailed, &QAction::triggered, this, pass(AnalysisPass::Kind::Failed));
    connect(menus.passSelected, &QAction::triggered, this, pass(AnalysisPass::Kind::Selected));
    connect(menus.passAll, &QAction::triggered, this, pass(AnalysisPass::Kind::All));
    // The pop-up dismissed without a choice gives the button back.
    connect(menus.addMenu, &QMenu::aboutToHide, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (m_pass->AnalysisIdle())
                Command2->setEnabled(true);
        });
    });

    connect(menus.openStartPage, &QAction::triggered, this, &SearchWindow::openStartPage);
    connect(menus.openAddress, &QAction::triggered, this, &SearchWindow::openAddress);
    connect(menus.back, &QAction::triggered, WebBrowser1, &WebBrowser::goBack);
    connect(menus.forward, &QAction::triggered, WebBrowser1, &WebBrowser::goForward);
    connect(menus.closeWindow, &QAction::triggered, this, &QWidget::close);

    connect(menus.clearSelected, &QAction::triggered, this, [this] { m_maintenance->clearSelected(selectedRows()); });
    connect(menus.clearDone, &QAction::triggered, this, [this] { m_maintenance->clearDone(); });
    connect(menus.clearContaining, &QAction::triggered, this, [this] { m_maintenance->clearTitlesContaining(); });
    connect(menus.clearNotContaining, &QAction::triggered, this, [this] { m_maintenance->clearTitlesNotContaining(); });
    connect(menus.clearAll, &QAction::triggered, this, [this] { m_maintenance->clearAll(); });

    connect(menus.settings, &QAction::triggered, this, [this] {
        // A loaded download window shows a confirmed method at once.
        OptionsDialog::showModal(m_services.stored, m_services.session, m_services.prompts, this,
                                 [this](DownloadMethod method) {
                                     if (m_downloadWindow)
                                         m_downloadWindow->showConfirmedMethod(method);
                                 });
    });
    connect(menus.openDownloadWindow, &QAction::triggered, this, &SearchWindow::openDownloadWindow);
    connect(menus.viewBrowserCache, &QAction::triggered, this,
            [this] { OpenCacheViewer(m_services.profile, m_services.stored, m_services.prompts, this); });
    connect(menus.clearBrowserCache, &QAction::triggered, this,
            [this] { ClearBrowserCache(m_services.profile, m_services.stored, m_services.prompts, true); });

    connect(menus.about, &QAction::triggered, this, [this] { ShowAboutBox(m_services.prompts, this); });
}

void SearchWindow::openStartPage()
{
    Check2->setChecked(true);
    WebBrowser1->navigate(StartPageAddress());
}

void SearchWindow::openAddress()
{
    const std::optional<QString> answer = m_services.prompts.input(kEnterAddress, kEnterAddressTitle, QString());
    const OpenAddressAnswer read = ReadOpenAddressAnswer(answer.value_or(QString()));
    Check2->setChecked(read.silent);
    if (!read.address.isEmpty())
        WebBrowser1->navigateExactly(read.address);
}

// "分析下载": the button stays disabled until the chosen pass has ended.
void SearchWindow::analyse()
{
    Command2->setEnabled(false);
    const bool anySelected = ListView1->selectionModel()->hasSelection();
    switch (ChooseAnalysis(*m_list, anySelected, m_services.prompts)) {
    case AnalysisChoice::ListEmpty: Command2->setEnabled(true); break;
    case AnalysisChoice::AnalyseAll: startPass(AnalysisPass::Kind::All); break;
    case AnalysisChoice::ChooseFromMenu: m_menus.addMenu->popup(QCursor::pos()); break;
    }
}

// The pass over selected rows reads the selection as it reaches each row.
void SearchWindow::startPass(AnalysisPass::Kind kind)
{
    Command2->setEnabled(false);
    m_pass->start(kind, [this](int row) { return ListView1->selectionModel()->isRowSelected(row, QModelIndex()); });
}

QSet<int> SearchWindow::selectedRows() const
{
    QSet<int> rows;
    for (const QModelIndex &index : ListView1->selectionModel()->selectedRows())
        rows.insert(index.row());
    return rows;
}

void SearchWindow::showRowCount()
{
    Label1->setText(QString::number(m_list->count()));
}

void SearchWindow::showAddAllRunning(bool running)
{
    Command4->setText(running ? kStopAddAll : kAddAll);
    // Red while running; the window's own colour again afterwards.
    Command4->setStyleSheet(running ? QStringLiteral("background-color: rgb(255, 0, 0);") : QString());
    PicPanWeb->setEnabled(!running);
}

DownloadWindow *SearchWindow::ensureDownloadWindow()
{
    if (!m_downloadWindow)
        m_downloadWindow = new DownloadWindow(m_services);
    return m_downloadWindow;
}

DownloadList &SearchWindow::downloadList()
{
    return ensureDownloadWindow()->engine().list();
}

// 显示下载窗口: the download window, created when needed, comes up.
void SearchWindow::showDownloadWindow()
{
    ensureDownloadWindow()->bringUp();
}

void SearchWindow::openDownloadWindow()
{
    DownloadWindow *window = ensureDownloadWindow();
    window->show();
    window->raise();
}

void SearchWindow::askSaveFolder(QObject *context, std::function<void(bool confirmed)> answered)
{
    SaveFolderDialog::ask(m_services.stored, m_services.session, m_services.prompts, this, context,
                          std::move(answered));
}

void SearchWindow::layOut()
{
    if (isMinimized())
        return;
    SearchLayoutInput input;
    input.windowWidth = PixelsToTwips(width());
    input.windowHeight = PixelsToTwips(height());
    input.menuBarHeight = PixelsToTwips(menuBar()->sizeHint().height());
    input.statusBarHeight = PixelsToTwips(StatusBar1->sizeHint().height());
    input.barTop = PixelsToTwips(PicBar->y());
    input.barHeight = kBarHeightTwips;
    const SearchLayout layout = LayOutSearchWindow(input);
    if (layout.windowWidth != input.windowWidth || layout.windowHeight != input.windowHeight) {
        // Springs back; the resize lays the window out again.
        resize(qMax(width(), TwipsToPixels(layout.windowWidth) + (layout.windowWidth % kTwipsPerPixel ? 1 : 0)),
               qMax(height(), TwipsToPixels(layout.windowHeight) + (layout.windowHeight % kTwipsPerPixel ? 1 : 0)));
        return;
    }
    const auto pixels = [](const QRect &twips) {
        return QRect(TwipsToPixels(twips.x()), TwipsToPixels(twips.y()), TwipsToPixels(twips.width()),
                     TwipsToPixels(twips.height()));
    };
    PicBar->setGeometry(pixels(layout.bar));
    PicPanWeb->setGeometry(pixels(layout.upperPane));
    const int browserMargin = TwipsToPixels(kBrowserMarginTwips);
    WebBrowser1->setGeometry(0, 0, qMax(PicPanWeb->width() - browserMargin, 0),
                             qMax(PicPanWeb->height() - browserMargin, 0));
    PicPanList->setGeometry(pixels(layout.lowerPane));
    placeListPaneParts();
}

void SearchWindow::placeListPaneParts()
{
    const int margin = TwipsToPixels(kListMarginTwips);
    const int stripHeight = m_commandStrip->sizeHint().height();
    m_commandStrip->setGeometry(0, 0, PicPanList->width(), stripHeight);
    ListView1->setGeometry(margin, stripHeight, qMax(PicPanList->width() - 2 * margin, 0),
                           qMax(PicPanList->height() - stripHeight - margin, 0));
    PaintStripedListBackground(ListView1, kStripeRowHeight);
    const QSize progress = PicPanPrograss->sizeHint();
    PicPanPrograss->setGeometry((PicPanList->width() - progress.width()) / 2,
                                (PicPanList->height() - progress.height()) / 2, progress.width(), progress.height());
}

void SearchWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOut();
}

// Closing ends a running add-all and analysis pass. The download window, when
// it is loaded, stays.
void SearchWindow::closeEvent(QCloseEvent *event)
{
    m_paging->requestStop();
    m_pass->stop();
    ShowWhatRemainsAfterClosing(this, kDownloadWindowName);
    event->accept();
}
