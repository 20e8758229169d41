#pragma once

#include <QList>
#include <QObject>

#include <functional>

class DownloadEngine;
class DownloadList;
class Prompts;
struct DownloadItem;

// The commands of the download list's menu that select rows to reset,
// remove, reorder or check, the header click that sorts, and the two file
// type commands of the tools menu. Rows are 0-based positions. Every message
// and question goes through the prompts; views hear of each command once.
class ListCommands final : public QObject
{
    Q_OBJECT

public:
    ListCommands(DownloadEngine &engine, Prompts &prompts, QObject *parent = nullptr);

    // Downloading is switched on, the transfer control is executing or a
    // parallel worker is loaded: removes, "清空" and random order refuse.
    bool isListBusy() const;
    // Downloading is switched on or a transfer is under way: sorting refuses.
    bool isRunActive() const;

    // menu随机排序列表: refused while the list is busy; otherwise ShuffleList
    // with its report.
    void randomOrder();
    // ShuffleList: moves rows drawn at random from the rows not yet moved to
    // the end of the list, one draw per row up to 10000 draws (a longer list
    // is shuffled only partly). Selection is not carried over. With `report`,
    // says "随机排序完成！" afterwards.
    void ShuffleList(bool report);

    // The reset commands ("重新下载"): each returns how many rows it reset.
    // menu重新下载选中项: the given rows that are finished or failed.
    int resetSelected(const QList<int> &rows);
    // menu重新下载出错项
    int resetFailed();
    // menu重新下载文件类型为HTM和HTML项
    int resetWebPages();
    // menu重新下载出错项和网页项
    int resetFailedAndWebPages();
    // menu重新下载文件大小小于指定数字的项: asks for a number of bytes and
    // resets the ended rows that arrived complete and are smaller. An answer
    // that is not a number does nothing.
    int resetSmallerThan();

    // The remove commands ("清除"): false when refused because the list is
    // busy. The files on disk stay.
    bool removeSelected(const QList<int> &rows);
    bool removeFailed();
    bool removeFinished();
    // menu清空: refused while the list is busy; asks first. True when the
    // list was emptied.
    bool clearList();

    // The delete-files commands ("删除文件"): the matching rows lose their
    // file and their size, downloaded and progress texts; they stay in the
    // list with their state and type. Each returns how many rows matched.
    int deleteWebPageFiles();
    int deleteFailedFiles();

    // menu检查文件是否存在: rows whose file is missing get the progress
    // "不存在". Returns how many.
    int checkFiles();

    // A click on a column header: refused while a download run is active
    // (false); otherwise flips the list's one sort direction, then sorts.
    bool sortByColumn(int column);
    Qt::SortOrder sortOrder() const { return m_order; }

    // menu检查并纠正磁盘文件类型: renames every stored file whose recognised
    // type differs from its row's type and says how many.
    void checkAndCorrectFileTypes();
    // menu打开文件判断类型: tells the type of a file the user picks.
    void tellFileType();

signals:
    // The number of rows after a remove or "清空".
    void rowCountChanged(int rows);

private:
    bool refuseWhenBusy();
    bool removeIf(const std::function<bool(const DownloadItem &)> &predicate);

    DownloadEngine &m_engine;
    DownloadList &m_list;
    Prompts &m_prompts;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};
