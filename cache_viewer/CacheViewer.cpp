#include "cache_viewer/CacheViewer.h"

#include "cache_viewer/CacheTexts.h"
#include "copy_move/CopyMoveDialog.h"
#include "settings/SettingsTexts.h"
#include "widgets/ListViewHelpers.h"
#include "widgets/NamedControl.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

using namespace CacheText;

namespace {

QPushButton *button(QWidget *parent, const QString &caption, const char *name)
{
    auto *control = NamedControl(new QPushButton(caption, parent), name);
    control->setAccessibleName(caption);
    control->setAutoDefault(false);
    return control;
}

QTreeWidget *reportList(QWidget *parent, const QStringList &columns, const char *name, const QString &accessible)
{
    auto *list = NamedControl(new QTreeWidget(parent), name);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAccessibleName(accessible);
    return list;
}

} // namespace

CacheViewer::CacheViewer(const CacheViewerServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), m_cache(services.cacheFolder, services.exportFolder)
{
    setObjectName(kWindowName);
    setWindowTitle(WindowCaption(kCaption));
    buildControls();

    connect(Command1, &QPushButton::clicked, this, &CacheViewer::Command1_Click);
    connect(Command7, &QPushButton::clicked, this, &CacheViewer::Command7_Click);
    connect(Command6, &QPushButton::clicked, this, &CacheViewer::Command6_Click);
    connect(Command2, &QPushButton::clicked, this, &CacheViewer::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CacheViewer::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &QDialog::close);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, &CacheViewer::sortBy);

    m_listTimer = new QTimer(this);
    m_listTimer->setSingleShot(true);
    m_listTimer->setInterval(0);
    connect(m_listTimer, &QTimer::timeout, this, &CacheViewer::listSome);
}

void CacheViewer::buildControls()
{
    Command1 = button(this, kViewMyCache, "Command1");
    Command7 = button(this, kViewAllUsers, "Command7");
    Command6 = button(this, kCopySelected, "Command6");
    Command2 = button(this, kDeleteSelected, "Command2");
    Command3 = button(this, kDeleteAll, "Command3");
    Command4 = button(this, kClose, "Command4");
    ListView1 = reportList(this, {kColumnUrl, kColumnType, kColumnSize, kColumnFilePath}, "ListView1", kColumnUrl);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->header()->setSectionsClickable(true);
    ListView2 = reportList(this, {kColumnUserName, kColumnFolder}, "ListView2", kColumnUserName);
    ListView3 = reportList(this, {kColumnFolder}, "ListView3", kColumnFolder);
    Label1 = NamedControl(new QLabel(this), "Label1");
    Label1->setBuddy(ListView1);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *control : {Command1, Command7, Command6, Command2, Command3})
        buttons->addWidget(control);
    buttons->addStretch();
    buttons->addWidget(Command4);

    auto *folders = new QSplitter(Qt::Horizontal, this);
    folders->addWidget(ListView2);
    folders->addWidget(ListView3);
    auto *lists = new QSplitter(Qt::Vertical, this);
    lists->addWidget(ListView1);
    lists->addWidget(folders);
    lists->setStretchFactor(0, 3);
    lists->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(lists, 1);
    layout->addWidget(Label1);
    resize(900, 600);
}

void CacheViewer::showRows()
{
    ListView1->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(m_rows.size());
    for (const CacheRow &row : std::as_const(m_rows))
        items.append(new QTreeWidgetItem(QStringList{row.caption, row.type, row.size, row.filePath}));
    ListView1->addTopLevelItems(items);
}

CacheViewer::~CacheViewer() = default;

// 查看我的缓存: the rows appear once the whole cache is read; until then the
// window goes on answering.
void CacheViewer::Command1_Click()
{
    ListView1->setUpdatesEnabled(true);
    ListView1->clear();
    m_rows.clear();
    m_listedRows.clear();
    m_listing = std::make_unique<CacheUrlListing>(m_cache);
    m_listingPhase = ListingPhase::Reading;
    m_listTimer->start();
}

// One turn of the listing, kept short: the cache is read and the rows'
// local files filled in, a slice of time per turn; then the rows are put in
// the list, unseen, the columns are fitted one a turn, and the list is shown.
void CacheViewer::listSome()
{
    constexpr int kFilesPerStep = 25;
    constexpr qsizetype kRowsPerStep = 250;
    constexpr int kSliceMs = 20;
    if (!m_listing)
        return;
    QElapsedTimer slice;
    slice.start();
    switch (m_listingPhase) {
    case ListingPhase::Reading:
        while (!m_listing->step(kFilesPerStep)) {
            if (slice.elapsed() >= kSliceMs) {
                m_listTimer->start();
                return;
            }
        }
        m_listedRows = m_listing->rows();
        m_filledRows = 0;
        m_listingPhase = ListingPhase::Filling;
        [[fallthrough]];
    case ListingPhase::Filling:
        while (m_filledRows < m_listedRows.size()) {
            FillLocalFiles(m_listedRows, m_cache, m_filledRows, kRowsPerStep);
            m_filledRows += kRowsPerStep;
            if (slice.elapsed() >= kSliceMs)
                break;
        }
        if (m_filledRows >= m_listedRows.size())
            m_listingPhase = ListingPhase::Showing;
        break;
    case ListingPhase::Showing:
        m_rows = std::exchange(m_listedRows, {});
        Label1->setText(CountLine(int(m_rows.size()), !m_listing->ok()));
        ListView1->setUpdatesEnabled(false);
        showRows();
        m_sizedColumns = 0;
        m_listingPhase = ListingPhase::Sizing;
        break;
    case ListingPhase::Sizing:
        // AutoSizeColumns, one column a turn: fitting a column measures its
        // texts in many rows.
        if (m_sizedColumns < ListView1->columnCount()) {
            ListView1->resizeColumnToContents(m_sizedColumns++);
            break;
        }
        ListView1->setUpdatesEnabled(true);
        m_listing.reset();
        m_tag = kTagMyCache;
        emit listed();
        return;
    }
    m_listTimer->start();
}

// 查看所有用户缓存.
void CacheViewer::Command7_Click()
{
    m_listing.reset();
    m_listTimer->stop();
    ListView1->setUpdatesEnabled(true);
    m_rows.clear();
    m_owned = ListUserCaches(m_services.layout);
    ListView2->clear();
    ListView3->clear();
    for (const UserCaches::User &user : std::as_const(m_owned.users))
        ListView2->addTopLevelItem(new QTreeWidgetItem(QStringList{user.name, user.folder}));
    for (const QString &folder : std::as_const(m_owned.cacheFolders))
        ListView3->addTopLevelItem(new QTreeWidgetItem(QStringList{folder}));
    for (const UserCaches::User &user : std::as_const(m_owned.users))
        ListUserCacheFiles(user.folder, user.name, m_rows);
    Label1->setText(CountLine(int(m_rows.size())));
    showRows();
    AutoSizeColumns(ListView1);
    AutoSizeColumns(ListView2);
    AutoSizeColumns(ListView3);
    m_tag = kTagAllCaches;
    emit listed();
}

QList<CacheRow> CacheViewer::selectedRows() const
{
    QList<CacheRow> selected;
    for (int i = 0; i < ListView1->topLevelItemCount() && i < m_rows.size(); ++i) {
        if (ListView1->topLevelItem(i)->isSelected())
            selected.append(m_rows.at(i));
    }
    return selected;
}

// 复制选中...: the selected rows' files, an entry's body written out first.
void CacheViewer::Command6_Click()
{
    if (m_preparingCopy)
        return;
    m_toWriteOut.clear();
    m_toCopy.clear();
    for (const CacheRow &row : selectedRows()) {
        if (!row.filePath.isEmpty())
            m_toWriteOut.append(row);
    }
    m_preparingCopy = true;
    writeOutSome();
}

// Writes out the next selected body (one per turn, so the window repaints
// between large ones); when all are out, Form_Copy_Move opens modal to this
// window, without a nested event loop, and deletes itself when closed. A body
// that cannot be written out is left out of the list.
void CacheViewer::writeOutSome()
{
    while (!m_toWriteOut.isEmpty()) {
        const CacheRow row = m_toWriteOut.takeFirst();
        if (IsAllUsersRow(row)) {
            m_toCopy.append(row.filePath);
            continue;
        }
        const QString file = m_cache.writeOutBody(row.caption);
        if (!file.isEmpty())
            m_toCopy.append(file);
        if (!m_toWriteOut.isEmpty()) {
            QTimer::singleShot(0, this, &CacheViewer::writeOutSome);
            return;
        }
    }
    m_preparingCopy = false;
    auto *dialog = new CopyMoveDialog(m_services.stored, m_services.prompts, m_services.historyPath, false, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->FileList = m_toCopy;
    m_toCopy.clear();
    dialog->setWindowTitle(kCopyCaptionPrefix + QString::number(dialog->FileList.size()) + kCopyCaptionSuffix);
    dialog->open();
}

void CacheViewer::deleteRows(const QList<CacheRow> &rows, bool all)
{
    DeleteRows(rows, m_cache, m_owned);
    // Emptying my cache also takes away every body the program wrote out,
    // those of entries that have already left the cache included.
    if (all && m_tag == kTagMyCache)
        m_cache.removeWrittenOut();
    RemoveEmptyFolders(m_owned);
    if (m_tag == kTagMyCache)
        Command1_Click();
    else if (m_tag == kTagAllCaches)
        Command7_Click();
}

// 删除所选文件.
void CacheViewer::Command2_Click()
{
    deleteRows(selectedRows(), false);
}

// 全部删除.
void CacheViewer::Command3_Click()
{
    deleteRows(m_rows, true);
}

// A header click sorts by its column, each click flipping the order.
void CacheViewer::sortBy(int column)
{
    m_descending = !m_descending;
    m_sortColumn = column;
    SortCacheRows(m_rows, column, m_descending);
    showRows();
    ListView1->header()->setSortIndicatorShown(true);
    ListView1->header()->setSortIndicator(column, m_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}
