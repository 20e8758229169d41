#include "download_window/DownloadWindow.h"

#include "about/AboutBox.h"
#include "cache_viewer/BrowserCache.h"
#include "download_window/CommandStrip.h"
#include "download_window/DownloadListDelegate.h"
#include "download_window/FileCommands.h"
#include "download_window/ListCommands.h"
#include "download_window/LoginPanel.h"
#include "download_window/UrlReplaceDialog.h"
#include "download_window/WindowRules.h"
#include "download_window/WindowTexts.h"
#include "engine/DownloadEngine.h"
#include "engine/EngineTexts.h"
#include "common/SessionSettings.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/WindowDirectory.h"
#include "settings/LayoutRules.h"
#include "settings_dialogs/OptionsDialog.h"
#include "settings/SettingsProcedures.h"
#include "settings/SettingsTexts.h"
#include "settings/StoredSettings.h"
#include "widgets/ComboHistory.h"
#include "widgets/ListViewHelpers.h"
#include "widgets/LoadedWindows.h"
#include "widgets/NamedControl.h"
#include "widgets/WindowLayout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMouseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeView>
#include <QWebEngineProfile>

#include <algorithm>

using namespace WindowText;

namespace {

constexpr int kNormalWidthTwips = 15000;
constexpr int kNormalHeightTwips = 10000;

} // namespace

DownloadWindow::DownloadWindow(const DownloadWindowServices &services, QWidget *parent)
    : QMainWindow(parent),
      m_session(services.session),
      m_stored(services.stored),
      m_prompts(services.prompts),
      m_shell(services.shell),
      m_clock(services.clock),
      m_profile(services.profile)
{
    // The window is loaded while it exists: closing destroys it.
    setObjectName(kWindowName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(WindowCaption(kCaption));

    // The engine's construction sets LastFinishTime, starts with an empty
    // list and switches the supervisor timer on.
    m_engine =
        new DownloadEngine(services.session, services.clock, services.prompts, services.sounds, services.network, this);
    m_listCommands = new ListCommands(*m_engine, services.prompts, this);
    m_fileCommands = new FileCommands(*m_engine, services.prompts, services.shell, this);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    Picture3 = new CommandStrip(central);
    buildList();
    // The login panel starts hidden; its browser keeps its cookies in the
    // program's profile, which the transfers share.
    PicWebBK = new LoginPanel(services.prompts, services.clock, services.profile, central);
    PicWebBK->attachEngine(*m_engine);
    buildStatusBar();
    m_menus.build(menuBar());

    FitComboDropDownWidth(Picture3->Combo4);
    Picture3->Combo4->setCurrentIndex(0);
    readSettings();
    // The size of a first run's layout is the window's normal size, for a
    // desktop that cannot maximise it (one without a window manager).
    resize(TwipsToPixels(kNormalWidthTwips), TwipsToPixels(kNormalHeightTwips));
    RestoreWindowLayout(this, m_stored);
    Picture3->Combo2->setCurrentIndex(0);

    bindStrip();
    bindEngine();
    bindMenus();
    syncOptionsToStrip();
    placeParts();
}

DownloadWindow::~DownloadWindow() = default;

void DownloadWindow::buildList()
{
    ListView3 = NamedControl(new QTreeView(centralWidget()), "ListView3");
    ListView3->setModel(&m_engine->list());
    ListView3->setRootIsDecorated(false);
    ListView3->setItemsExpandable(false);
    ListView3->setUniformRowHeights(true);
    ListView3->setAllColumnsShowFocus(true);
    ListView3->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView3->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView3->setToolTip(EngineText::kListToolTip);
    ListView3->setAccessibleName(kListLabel);
    ListView3->setContextMenuPolicy(Qt::CustomContextMenu);
    m_delegate = new DownloadListDelegate(ListView3);
    ListView3->setItemDelegate(m_delegate);
    ListView3->setIconSize(QSize(16, 16));

    QHeaderView *header = ListView3->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    for (int column = 0; column < DownloadList::ColumnCount; ++column)
        header->resizeSection(column, TwipsToPixels(DownloadList::columnWidthTwips(column)));
    PaintStripedListBackground(ListView3, kStripeRowHeight);
}

void DownloadWindow::buildStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    const auto panel = [this](const char *name, int stretch, int minimumWidth) {
        auto *label = NamedControl(new QLabel(StatusBar1), name);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(minimumWidth);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        StatusBar1->addWidget(label, stretch);
        return label;
    };
    panel2 = panel("panel2", 4, 120);
    panel3 = panel("panel3", 3, 100);
    panel4 = panel("panel4", 3, 100);
    speedPanel = panel("speedPanel", 0, fontMetrics().horizontalAdvance(QStringLiteral("9999.9 MB/s")) + 12);
    speedPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panel4->setText(m_engine->list().statusSummaryText());
    panel2->installEventFilter(this);
}

// The settings of the load, in their order: method and its label, thread
// count, same-name option; the proxy fields and size limit go to the record.
void DownloadWindow::readSettings()
{
    const DownloadWindowSettings shown = ReadDownloadWindowSettings(m_stored, m_session);
    Picture3->Label7->setText(shown.methodLabel);
    Picture3->Combo1->setCurrentIndex(shown.threadPosition);
    Picture3->Combo1->setEnabled(shown.threadBoxEnabled);
    Picture3->selectSameNamePolicy(shown.selectedPolicy);

    EngineOptions &options = m_engine->options();
    options.threadCount = shown.threadPosition + 1;
    options.sameNamePolicy = shown.selectedPolicy;
}

void DownloadWindow::bindStrip()
{
    CommandStrip *strip = Picture3;
    EngineOptions &options = m_engine->options();
    connect(strip->Command4, &QPushButton::clicked, m_engine, &DownloadEngine::start);
    connect(strip->Command31, &QPushButton::clicked, m_engine, &DownloadEngine::stop);
    connect(strip->Command26, &QPushButton::clicked, m_engine, &DownloadEngine::switchMethod);
    connect(strip->Command1, &QPushButton::clicked, this, [this] {
        const int row = currentRow();
        PicWebBK->openPanel(row >= 0 ? m_engine->list().at(row).Url : QString());
    });
    connect(strip->Combo1, &QComboBox::currentIndexChanged, this,
            [&options](int index) { options.threadCount = std::max(index, 0) + 1; });
    connect(strip->Combo2, &QComboBox::currentIndexChanged, this,
            [&options](int index) { options.intervalSeconds = std::max(index, 0); });
    connect(strip->Check4, &QCheckBox::toggled, this, [&options](bool on) { options.autoStart = on; });
    connect(strip->Check5, &QCheckBox::toggled, this, [&options](bool on) { options.errorStop = on; });
    connect(strip->Check3, &QCheckBox::toggled, this, [&options](bool on) { options.autoRetry = on; });
    connect(strip->Combo4, &QComboBox::currentIndexChanged, this, [&options](int index) {
        options.autoRetryChoice = AutoRetryChoice(std::clamp(index, 0, int(AutoRetryChoice::Both)));
    });
    connect(strip->Check6, &QCheckBox::toggled, this, [&options](bool on) { options.soundOn = on; });
    for (const SameNamePolicy policy : {SameNamePolicy::Skip, SameNamePolicy::Overwrite, SameNamePolicy::Rename}) {
        connect(strip->sameNameOption(policy), &QRadioButton::toggled, this, [&options, policy](bool on) {
            if (on)
                options.sameNamePolicy = policy;
        });
    }
}

void DownloadWindow::bindEngine()
{
    connect(m_engine, &DownloadEngine::panel2TextChanged, panel2, &QLabel::setText);
    connect(m_engine, &DownloadEngine::panel3TextChanged, panel3, &QLabel::setText);
    connect(PicWebBK, &LoginPanel::titleShown, panel3, &QLabel::setText);
    connect(m_engine, &DownloadEngine::panel4TextChanged, panel4, &QLabel::setText);
    connect(m_engine, &DownloadEngine::menuStartEnabledChanged, m_menus.start, &QAction::setEnabled);
    connect(m_engine, &DownloadEngine::indicatorVisibleChanged, Picture3->Shape1, &QWidget::setVisible);
    connect(m_engine, &DownloadEngine::rowStarted, this,
            [this](int row) { ListView3->scrollTo(m_engine->list().index(row, 0)); });
    connect(m_engine, &DownloadEngine::methodChanged, this,
            [this](DownloadMethod method) { showMethod(method, true); });
    connect(m_engine, &DownloadEngine::optionsChanged, this, &DownloadWindow::syncOptionsToStrip);
    connect(m_engine, &DownloadEngine::supervisorTickEnded, this, &DownloadWindow::showSpeed);
}

void DownloadWindow::bindMenus()
{
    const DownloadMenus &menus = m_menus;
    connect(menus.selectAll, &QAction::triggered, ListView3, &QTreeView::selectAll);
    connect(menus.selectNone, &QAction::triggered, ListView3, &QTreeView::clearSelection);
    connect(menus.fitColumns, &QAction::triggered, this, [this] {
        AutoSizeColumns(ListView3);
        PaintStripedListBackground(ListView3, kStripeRowHeight);
    });
    connect(menus.randomOrder, &QAction::triggered, m_listCommands, &ListCommands::randomOrder);
    connect(menus.resetSelected, &QAction::triggered, this, [this] { m_listCommands->resetSelected(selectedRows()); });
    connect(menus.resetFailed, &QAction::triggered, m_listCommands, &ListCommands::resetFailed);
    connect(menus.resetWebPages, &QAction::triggered, m_listCommands, &ListCommands::resetWebPages);
    connect(menus.resetFailedAndWebPages, &QAction::triggered, m_listCommands, &ListCommands::resetFailedAndWebPages);
    connect(menus.resetSmaller, &QAction::triggered, m_listCommands, &ListCommands::resetSmallerThan);
    connect(menus.removeSelected, &QAction::triggered, this,
            [this] { m_listCommands->removeSelected(selectedRows()); });
    connect(menus.removeFailed, &QAction::triggered, m_listCommands, &ListCommands::removeFailed);
    connect(menus.removeFinished, &QAction::triggered, m_listCommands, &ListCommands::removeFinished);
    connect(menus.clearList, &QAction::triggered, m_listCommands, &ListCommands::clearList);
    connect(menus.deleteWebPageFiles, &QAction::triggered, m_listCommands, &ListCommands::deleteWebPageFiles);
    connect(menus.deleteFailedFiles, &QAction::triggered, m_listCommands, &ListCommands::deleteFailedFiles);
    connect(m_listCommands, &ListCommands::rowCountChanged, this, &DownloadWindow::showRowCount);
    connect(menus.start, &QAction::triggered, m_engine, &DownloadEngine::start);
    connect(menus.stop, &QAction::triggered, m_engine, &DownloadEngine::stop);
    connect(menus.cancelSelected, &QAction::triggered, this, [this] { m_engine->cancelRows(selectedRows()); });
    connect(menus.openFile, &QAction::triggered, this, [this] { m_fileCommands->openFile(currentRow()); });
    connect(menus.openFolder, &QAction::triggered, this, [this] { m_fileCommands->openFolder(currentRow()); });
    connect(menus.openInEditor, &QAction::triggered, this, [this] { m_fileCommands->openInEditor(currentRow()); });
    connect(menus.copyName, &QAction::triggered, this, &DownloadWindow::copyCurrentName);
    connect(menus.replaceUrls, &QAction::triggered, this, &DownloadWindow::replaceUrls);
    connect(menus.exportAll, &QAction::triggered, this, [this] { m_fileCommands->exportNames(false); });
    connect(menus.exportUnfinished, &QAction::triggered, this, [this] { m_fileCommands->exportNames(true); });
    connect(menus.closeWindow, &QAction::triggered, this, &QWidget::close);

    connect(menus.settings, &QAction::triggered, this, &DownloadWindow::openSettings);
    connect(menus.followCurrent, &QAction::toggled, this, [this](bool on) { m_engine->options().followCurrent = on; });
    connect(menus.checkFiles, &QAction::triggered, m_listCommands, &ListCommands::checkFiles);
    connect(menus.correctFileTypes, &QAction::triggered, m_listCommands, &ListCommands::checkAndCorrectFileTypes);
    connect(menus.clearBrowserCache, &QAction::triggered, this, &DownloadWindow::clearBrowserCache);
    connect(menus.tellFileType, &QAction::triggered, m_listCommands, &ListCommands::tellFileType);

    connect(menus.showSearchWindow, &QAction::triggered, this, [] { ShowWindow(kSearchWindowName); });
    connect(menus.about, &QAction::triggered, this, [this] { ShowAboutBox(m_prompts, this); });

    // The mouse on the list: a click shows the row's file in panel 2, a
    // double click downloads the row again or opens its file, a click on a
    // header sorts by that column.
    connect(ListView3, &QTreeView::clicked, this,
            [this](const QModelIndex &index) { panel2->setText(m_fileCommands->clickedRowPath(index.row())); });
    connect(ListView3, &QTreeView::doubleClicked, this,
            [this](const QModelIndex &index) { m_fileCommands->doubleClick(index.row()); });
    connect(ListView3->header(), &QHeaderView::sectionClicked, m_listCommands, &ListCommands::sortByColumn);

    connect(ListView3, &QTreeView::customContextMenuRequested, this, &DownloadWindow::openListMenu);
}

QList<int> DownloadWindow::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = ListView3->selectionModel()->selectedRows();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int DownloadWindow::currentRow() const
{
    const QModelIndex current = ListView3->currentIndex();
    if (!current.isValid() || !ListView3->selectionModel()->isRowSelected(current.row()))
        return -1;
    return current.row();
}

// Right-click rules: while a download run is active the list cannot be
// removed from or selected whole, but can be stopped; otherwise the reverse.
// The entries keep these states until the next right-click.
void DownloadWindow::applyListMenuRules()
{
    const bool active = m_engine->downloadingOn() || m_engine->values().DownloadRunning;
    m_menus.remove->menuAction()->setEnabled(!active);
    m_menus.clearList->setEnabled(!active);
    m_menus.selectAll->setEnabled(!active);
    m_menus.stop->setEnabled(active);
}

void DownloadWindow::openListMenu(const QPoint &position)
{
    applyListMenuRules();
    m_menus.listMenu->popup(ListView3->viewport()->mapToGlobal(position));
}

void DownloadWindow::showRowCount()
{
    Picture3->Label1->setText(RowCountText(m_engine->list().count()));
}

void DownloadWindow::showSpeed()
{
    const double bytesPerSecond = m_speed.sample(m_engine->list(), m_clock.seconds());
    speedPanel->setText(SpeedPanelText(m_speed, bytesPerSecond));
}

void DownloadWindow::showMethod(DownloadMethod method, bool threadBoxToOne)
{
    Picture3->Label7->setText(MethodLabelText(method));
    Picture3->Combo1->setEnabled(method != DownloadMethod::Single);
    if (threadBoxToOne)
        Picture3->Combo1->setCurrentIndex(0);
}

void DownloadWindow::showConfirmedMethod(DownloadMethod method)
{
    showMethod(method, method != DownloadMethod::Single);
}

void DownloadWindow::bringUp()
{
    ListView3->viewport()->update();
    if (isHidden())
        show();
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

// The engine changed its options itself (the stop command unticks the
// automatic start and re-download; the method switch sets one worker).
void DownloadWindow::syncOptionsToStrip()
{
    const EngineOptions &options = m_engine->options();
    CommandStrip *strip = Picture3;
    const QSignalBlocker blockThreads(strip->Combo1);
    const QSignalBlocker blockInterval(strip->Combo2);
    const QSignalBlocker blockStart(strip->Check4);
    const QSignalBlocker blockErrors(strip->Check5);
    const QSignalBlocker blockRetry(strip->Check3);
    const QSignalBlocker blockChoice(strip->Combo4);
    const QSignalBlocker blockSound(strip->Check6);
    const QSignalBlocker blockFollow(m_menus.followCurrent);
    strip->Combo1->setCurrentIndex(options.threadCount - 1);
    strip->Combo2->setCurrentIndex(options.intervalSeconds);
    strip->Check4->setChecked(options.autoStart);
    strip->Check5->setChecked(options.errorStop);
    strip->Check3->setChecked(options.autoRetry);
    strip->Combo4->setCurrentIndex(int(options.autoRetryChoice));
    strip->Check6->setChecked(options.soundOn);
    m_menus.followCurrent->setChecked(options.followCurrent);
}

void DownloadWindow::copyCurrentName()
{
    const int row = currentRow();
    if (row < 0)
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_engine->list().at(row).Name);
}

// The options dialog shows a confirmed method here at once.
void DownloadWindow::openSettings()
{
    OptionsDialog::showModal(m_stored, m_session, m_prompts, this,
                             [this](DownloadMethod method) { showConfirmedMethod(method); });
}

void DownloadWindow::clearBrowserCache()
{
    ClearBrowserCache(m_profile, m_stored, m_prompts, true);
}

void DownloadWindow::replaceUrls()
{
    UrlReplaceDialog dialog(m_engine->list(), m_prompts, this);
    dialog.exec();
}

// A click on panel 2 opens its text in the web browser: a file path as a file
// address, any other text as it stands.
void DownloadWindow::openPanel2Text()
{
    const QString text = panel2->text();
    if (text.isEmpty())
        return;
    if (QFileInfo(text).isAbsolute())
        m_shell.openUrl(QUrl::fromLocalFile(text).toString());
    else
        m_shell.openUrl(text);
}

void DownloadWindow::placeParts()
{
    if (isMinimized())
        return;
    ResizeInput input;
    input.windowWidth = width();
    input.windowHeight = height();
    input.stripHeight = Picture3->sizeHint().height();
    input.statusBarHeight = StatusBar1->sizeHint().height();
    input.menuBarHeight = menuBar()->sizeHint().height();
    const ResizeResult placed = DownloadWindowResize(input);
    if (placed.strip)
        Picture3->setGeometry(*placed.strip);
    if (placed.list) {
        ListView3->setGeometry(*placed.list);
        PicWebBK->setGeometry(*placed.list);
    }
    PaintStripedListBackground(ListView3, kStripeRowHeight);
}

void DownloadWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeParts();
}

void DownloadWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showRowCount();
}

bool DownloadWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == panel2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        openPanel2Text();
    return QMainWindow::eventFilter(watched, event);
}

void DownloadWindow::closeEvent(QCloseEvent *event)
{
    // Stored whatever follows, also when the user keeps the window open.
    SaveDownloadWindowSettingsBeforeClose(m_stored, m_session, Picture3->selectedSameNamePolicy());
    if (CloseNeedsQuestion(*m_engine)
        && m_prompts.message(kCloseQuestion, QString(), PromptIcon::Question, PromptButtons::YesNo)
               != PromptAnswer::Yes) {
        event->ignore();
        return;
    }

    m_engine->setTimersRunning(false);
    PicWebBK->stopTimers();
    m_engine->stop();
    m_engine->Inet1().Cancel();

    SaveWindowLayout(this, m_stored);
    SaveDownloadWindowThreadPosition(m_stored, Picture3->Combo1->currentIndex());
    event->accept();
    ShowWhatRemainsAfterClosing(this, kSearchWindowName);
}
