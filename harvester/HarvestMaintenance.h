#pragma once

#include <QSet>
#include <QString>
#include <functional>

class HarvestList;
class Prompts;

// What became of a clear command; on Cleared the window refreshes the row
// counter beside "待下载列表：".
enum class ClearOutcome {
    Refused, // an analysis pass is running: "正在分析，不能清除！" was shown
    Stopped, // nothing to do: no text given, the list empty, or "No" answered
    Cleared, // the rows were walked (possibly removing none)
};

// The menu "清除(&C)" and the export button of the harvest list. While an
// analysis pass runs, the clear commands refuse, so that the pass's row
// positions stay valid.
class HarvestMaintenance
{
public:
    // `analysisIdle` answers whether no analysis pass is running.
    HarvestMaintenance(HarvestList &list, Prompts &prompts, std::function<bool()> analysisIdle);

    // "清除选中项": removes the given rows (positions counted from 0).
    ClearOutcome clearSelected(const QSet<int> &selectedRows);
    // "清除分析成功项": removes the rows whose status is "成功".
    ClearOutcome clearDone();
    // "清除标题含指定字符项" and "清除标题不含指定字符项": ask for a text and
    // remove the rows whose title holds it (or lacks it), letter case ignored.
    ClearOutcome clearTitlesContaining();
    ClearOutcome clearTitlesNotContaining();
    // "清空全部": removes every row after the user confirms.
    ClearOutcome clearAll();

    // "导出数据...": asks for a file and writes the list to it, then shows its
    // size. An empty list shows nothing; a failed write ends silently. A name
    // without extension gets ".txt"; when a file of that name exists the user
    // is asked before it is replaced.
    void exportList();

private:
    bool refuseWhileAnalysing();
    ClearOutcome clearTitles(bool containing);

    HarvestList &m_list;
    Prompts &m_prompts;
    std::function<bool()> m_analysisIdle;
};
