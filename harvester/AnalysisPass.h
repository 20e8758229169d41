#pragma once

#include <QObject>
#include <QString>
#include <functional>

class Handover;
class HarvestList;
class Prompts;
class SaveFolderAsker;
struct SessionSettings;

// What "分析下载" does with the harvest list as it stands.
enum class AnalysisChoice {
    ListEmpty,      // "列表没有数据哦！" was shown; nothing else happens
    AnalyseAll,     // no row is selected: run "分析全部"
    ChooseFromMenu, // a row is selected: open the menu "加入" at the pointer
};
AnalysisChoice ChooseAnalysis(const HarvestList &list, bool anyRowSelected, Prompts &prompts);

// The analysis passes: walk the harvest list and hand the chosen entries to
// the download list, marking each "成功". A pass runs in slices on the event
// loop, one entry at a time, so that the user can stop it (or close the
// window) between entries; clearing the list is refused meanwhile. When the
// pass asks for the save folder, it goes on once the dialog has answered.
class AnalysisPass final : public QObject
{
    Q_OBJECT

public:
    enum class Kind {
        Unanalysed, // "分析未分析项": entries whose status is empty
        Failed,     // "分析失败项": entries whose status is "分析失败"
        Selected,   // "分析选中项": selected entries
        All,        // "分析全部": every entry
    };

    // Whether the row at a position (counted from 0) is selected now.
    using RowSelection = std::function<bool(int row)>;

    AnalysisPass(HarvestList &list, SessionSettings &settings, Handover &handover, SaveFolderAsker &asker,
                 QObject *parent = nullptr);

    // True while no pass runs; a pass sets it false at its start.
    bool AnalysisIdle() const { return m_idle; }

    // Starts a pass; ignored while one is running. `selection` is read by
    // the pass over selected entries as it reaches each row.
    void start(Kind kind, RowSelection selection = {});

    // The stop button and the window's close: the running pass ends at its
    // next check, after the entry it is on.
    void stop() { m_idle = true; }

signals:
    // The progress panel comes up with the given text.
    void started(const QString &progressText);
    // The progress panel goes; the download window has been brought up.
    void finished();

private:
    void begin();
    bool needsFolder() const;
    void visitAll();
    void visitFrom(int row);
    void finish();
    bool handsOver(int row, bool &checkAfter);

    HarvestList &m_list;
    SessionSettings &m_settings;
    Handover &m_handover;
    SaveFolderAsker &m_asker;

    bool m_idle = true;
    bool m_running = false;
    Kind m_kind = Kind::All;
    RowSelection m_selection;
    int m_rowsAtStart = 0;
};
