#pragma once

#include <QString>

class DownloadList;
struct SessionSettings;

// Where handed-over entries go: the download window and its list. The search
// window implements it; the download window is created, hidden, the first
// time its list is asked for.
class HandoverTarget
{
public:
    virtual ~HandoverTarget() = default;

    // The download window's list; creates the window (not shown) when it
    // does not exist yet.
    virtual DownloadList &downloadList() = 0;

    // 显示下载窗口: creates the window if needed, redraws its list, shows it
    // when hidden and maximises it when minimised.
    virtual void showDownloadWindow() = 0;
};

// The title as a file name is made from it: line breaks and NULs removed (the
// parts of a two-line title join without a blank), blanks trimmed.
QString CleanHandoverTitle(const QString &title);

// The base name "原文件名" takes from a link: the text after the last "/" or
// "\", cut before its last ".". For example …/pdf/10.2514/6.2016-1234 gives
// "6" and …/files/paper.final.pdf gives "paper.final".
QString OriginalFileBaseName(const QString &link);

// Turns harvest entries into waiting items of the download list.
class Handover
{
public:
    Handover(HandoverTarget &target, const SessionSettings &settings);

    // 加入下载列表: appends a waiting item for the link, named after the
    // title or, with "原文件名" chosen, after the link, in the entry's folder
    // or, when that is empty, in the save folder current now. A link already
    // in the download list changes nothing there. True, unless neither the
    // entry nor the settings name a folder: then nothing is added.
    bool addToDownloadList(const QString &link, const QString &title, const QString &fileType, const QString &savePath,
                           const QString &pageUrl);

    // 显示下载窗口: brings the download window up.
    void showDownloadWindow();

private:
    HandoverTarget &m_target;
    const SessionSettings &m_settings;
};
