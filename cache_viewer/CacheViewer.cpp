#include "cache_viewer/CacheViewer.h"

#include "cache_viewer/CacheTexts.h"
#include "copy_move/CopyMoveDialog.h"
#include "settings/SettingsTexts.h"
#include "widgets/ListViewHelpers.h"
#include "widgets/NamedControl.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

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

// 查看我的缓存.
void CacheViewer::Command1_Click()
{
    bool ok = true;
    m_rows = GetCacheURLList(m_cache, &ok);
    Label1->setText(CountLine(int(m_rows.size()), !ok));
    FillLocalFiles(m_rows, m_cache);
    showRows();
    AutoSizeColumns(ListView1);
    m_tag = kTagMyCache;
}

// 查看所有用户缓存.
void CacheViewer::Command7_Click()
{
    m_rows.clear();
    const UserCaches caches = ListUserCaches(m_services.layout);
    m_profileFolders = caches.profileFolders;
    m_cacheFolders = caches.cacheFolders;
    ListView2->clear();
    ListView3->clear();
    for (const UserCaches::User &user : caches.users)
        ListView2->addTopLevelItem(new QTreeWidgetItem(QStringList{user.name, user.folder}));
    for (const QString &folder : caches.cacheFolders)
        ListView3->addTopLevelItem(new QTreeWidgetItem(QStringList{folder}));
    for (const UserCaches::User &user : caches.users)
        ListUserCacheFiles(user.folder, user.name, m_rows);
    Label1->setText(CountLine(int(m_rows.size())));
    showRows();
    AutoSizeColumns(ListView1);
    AutoSizeColumns(ListView2);
    AutoSizeColumns(ListView3);
    m_tag = kTagAllCaches;
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

// 复制选中...: Form_Copy_Move, modal to this window, with the selected files.
// It is opened without a nested event loop; it deletes itself when closed.
void CacheViewer::Command6_Click()
{
    auto *dialog = new CopyMoveDialog(m_services.stored, m_services.prompts, m_services.historyPath, false, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    for (const CacheRow &row : selectedRows()) {
        if (!row.filePath.isEmpty())
            dialog->FileList.append(row.filePath);
    }
    dialog->setWindowTitle(kCopyCaptionPrefix + QString::number(dialog->FileList.size()) + kCopyCaptionSuffix);
    dialog->open();
}

void CacheViewer::deleteRows(const QList<CacheRow> &rows)
{
    DeleteRows(rows, m_cache);
    RemoveEmptyFolders(m_cacheFolders);
    if (m_tag == kTagMyCache)
        Command1_Click();
    else if (m_tag == kTagAllCaches)
        Command7_Click();
}

// 删除所选文件.
void CacheViewer::Command2_Click()
{
    deleteRows(selectedRows());
}

// 全部删除.
void CacheViewer::Command3_Click()
{
    deleteRows(m_rows);
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
