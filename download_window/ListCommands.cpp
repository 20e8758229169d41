#include "download_window/ListCommands.h"

#include "download_window/CommandTexts.h"
#include "engine/DownloadEngine.h"
#include "engine/DownloadList.h"
#include "engine/FileTypeSniffer.h"
#include "engine/FolderFiles.h"
#include "engine/ItemTypeCorrection.h"
#include "engine/ListResets.h"
#include "engine/Naming.h"
#include "platform/FileTests.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <optional>

namespace {

constexpr int kMaxShuffleDraws = 10000;

bool hasEnded(const DownloadItem &item)
{
    return item.State == Finished || item.State == Failed;
}

bool isPageOrXml(const DownloadItem &item)
{
    return IsWebPageType(item.Type) || item.Type.compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0;
}

// Resets every row the test accepts, in one walk, telling views once.
int resetRowsWhere(DownloadList &list, const std::function<bool(int row, const DownloadItem &)> &matches)
{
    DownloadListBulkChange bulk(list);
    FolderFiles files;
    int reset = 0;
    for (int row = 0; row < list.count(); ++row) {
        if (!matches(row, list.at(row)))
            continue;
        list.updateItem(row, [&files](DownloadItem &item) { ResetForDownloadAgain(item, false, &files); });
        ++reset;
    }
    return reset;
}

// Empties the size, downloaded and progress texts of every row the test
// accepts, then deletes its file.
int deleteFilesWhere(DownloadList &list, const std::function<bool(const DownloadItem &)> &matches)
{
    DownloadListBulkChange bulk(list);
    FolderFiles files;
    int deleted = 0;
    for (int row = 0; row < list.count(); ++row) {
        if (!matches(list.at(row)))
            continue;
        const bool onDisk = files.itemFileOrPartExists(list.at(row));
        list.updateItem(row, [onDisk](DownloadItem &item) {
            item.clearCounts();
            if (onDisk)
                DeleteItemFile(item);
        });
        ++deleted;
    }
    return deleted;
}

QSet<quint64> idsOfRows(const DownloadList &list, const QList<int> &rows)
{
    QSet<quint64> ids;
    ids.reserve(rows.size());
    for (int row : rows) {
        if (row >= 0 && row < list.count())
            ids.insert(list.at(row).Id);
    }
    return ids;
}

} // namespace

ListCommands::ListCommands(DownloadEngine &engine, Prompts &prompts, QObject *parent)
    : QObject(parent), m_engine(engine), m_list(engine.list()), m_prompts(prompts)
{}

bool ListCommands::isListBusy() const
{
    return m_engine.isBusy();
}

bool ListCommands::isRunActive() const
{
    return m_engine.downloadingOn() || m_engine.values().DownloadRunning;
}

bool ListCommands::refuseWhenBusy()
{
    if (!isListBusy())
        return false;
    m_prompts.message(CommandText::kListBusy, QString(), PromptIcon::Information, PromptButtons::Ok);
    return true;
}

void ListCommands::randomOrder()
{
    if (refuseWhenBusy())
        return;
    ShuffleList(true);
}

void ListCommands::ShuffleList(bool report)
{
    // Each draw takes a row at random from those not yet moved and puts it
    // at the end. The rows never drawn keep their order in front of the
    // drawn ones, which follow in the order of their draws.
    const int rows = m_list.count();
    std::vector<int> notMoved(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        notMoved[size_t(row)] = row;
    std::vector<bool> moved(static_cast<size_t>(rows), false);
    std::vector<int> drawn;
    const int draws = std::min(rows, kMaxShuffleDraws);
    drawn.reserve(size_t(draws));
    QRandomGenerator *random = QRandomGenerator::global();
    for (int draw = 0; draw < draws; ++draw) {
        const int remaining = rows - draw;
        const auto k = size_t(random->bounded(remaining));
        const int row = notMoved[k];
        notMoved[k] = notMoved[size_t(remaining - 1)];
        moved[size_t(row)] = true;
        drawn.push_back(row);
    }
    if (rows > 0) {
        std::vector<int> order;
        order.reserve(size_t(rows));
        for (int row = 0; row < rows; ++row) {
            if (!moved[size_t(row)])
                order.push_back(row);
        }
        order.insert(order.end(), drawn.begin(), drawn.end());
        m_list.reorderRows(order);
    }
    if (report)
        m_prompts.message(CommandText::kShuffled, QString(), PromptIcon::Information, PromptButtons::Ok);
}

int ListCommands::resetSelected(const QList<int> &rows)
{
    const QSet<quint64> selected = idsOfRows(m_list, rows);
    return resetRowsWhere(
        m_list, [&selected](int, const DownloadItem &item) { return hasEnded(item) && selected.contains(item.Id); });
}

int ListCommands::resetFailed()
{
    DownloadListBulkChange bulk(m_list);
    return ResetFailedItems(m_list);
}

int ListCommands::resetWebPages()
{
    DownloadListBulkChange bulk(m_list);
    return ResetWebPageItems(m_list);
}

int ListCommands::resetFailedAndWebPages()
{
    DownloadListBulkChange bulk(m_list);
    return ResetFailedAndWebPageItems(m_list);
}

int ListCommands::resetSmallerThan()
{
    const std::optional<QString> answer = m_prompts.input(CommandText::kAskNumber, QString(), QString());
    if (!answer)
        return 0;
    bool ok = false;
    const double limit = answer->trimmed().toDouble(&ok);
    if (!ok)
        return 0;
    // Only rows that arrived whole and are smaller than the limit. Byte
    // counts compare exactly, so a file one byte short of a large size never
    // passes for complete.
    return resetRowsWhere(m_list, [limit](int, const DownloadItem &item) {
        if (!hasEnded(item) || !item.Size.hasBytes() || !item.Downloaded)
            return false;
        return limit > double(item.Size.bytes) && *item.Downloaded == item.Size.bytes;
    });
}

bool ListCommands::removeIf(const std::function<bool(const DownloadItem &)> &predicate)
{
    if (refuseWhenBusy())
        return false;
    m_list.removeItemsIf(predicate);
    emit rowCountChanged(m_list.count());
    return true;
}

bool ListCommands::removeSelected(const QList<int> &rows)
{
    const QSet<quint64> selected = idsOfRows(m_list, rows);
    return removeIf([&selected](const DownloadItem &item) { return selected.contains(item.Id); });
}

bool ListCommands::removeFailed()
{
    return removeIf([](const DownloadItem &item) { return item.State == Failed; });
}

bool ListCommands::removeFinished()
{
    return removeIf([](const DownloadItem &item) { return item.State == Finished; });
}

bool ListCommands::clearList()
{
    if (refuseWhenBusy())
        return false;
    if (m_prompts.message(CommandText::kAskClearList, QString(), PromptIcon::None, PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return false;
    m_list.clear();
    emit rowCountChanged(0);
    return true;
}

int ListCommands::deleteWebPageFiles()
{
    return deleteFilesWhere(m_list, [](const DownloadItem &item) { return isPageOrXml(item) && hasEnded(item); });
}

int ListCommands::deleteFailedFiles()
{
    return deleteFilesWhere(m_list, [](const DownloadItem &item) { return item.State == Failed; });
}

int ListCommands::checkFiles()
{
    DownloadListBulkChange bulk(m_list);
    FolderFiles files;
    int missing = 0;
    for (int row = 0; row < m_list.count(); ++row) {
        if (files.itemFileExists(m_list.at(row)))
            continue;
        m_list.updateItem(row,
                          [](DownloadItem &item) { item.Progress = ItemProgress::ofWord(ProgressWord::DoesNotExist); });
        ++missing;
    }
    return missing;
}

bool ListCommands::sortByColumn(int column)
{
    if (isRunActive()) {
        m_prompts.message(CommandText::kStopBeforeSorting, QString(), PromptIcon::Information, PromptButtons::Ok);
        return false;
    }
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_list.sortRows(column, m_order);
    return true;
}

void ListCommands::checkAndCorrectFileTypes()
{
    // Few rows change here, and the count shows after the list is redrawn.
    CheckAndCorrectFileTypes(m_list, isListBusy(), m_prompts);
}

void ListCommands::tellFileType()
{
    const QString path = m_prompts.openFileName(QString(), QString(), CommandText::kAnyFileFilter);
    if (path.isEmpty())
        return;
    const QString type = detectFileType(path);
    m_prompts.message(type.isEmpty() ? CommandText::kCannotTellType : CommandText::kFileTypeIs + type, QString(),
                      PromptIcon::Information, PromptButtons::Ok);
}
